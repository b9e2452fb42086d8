#include "capture/day_basket.h"

#include <map>
#include <tuple>

namespace capture {

std::optional<BasketEntry> DayBasket::at(std::int64_t position) const {
  if (position < 1 || position > size()) return std::nullopt;
  return entries_[static_cast<std::size_t>(position - 1)];
}

std::vector<std::int64_t> DayBasket::uncapturedPositions(
    const std::vector<BasketEntry>& captured) const {
  std::map<std::tuple<std::int64_t, std::int64_t, std::int64_t>, int> unmatched;
  for (const BasketEntry& entry : captured) {
    ++unmatched[{entry.product, entry.presentation, entry.origin}];
  }
  std::vector<std::int64_t> positions;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const BasketEntry& entry = entries_[i];
    auto found = unmatched.find({entry.product, entry.presentation, entry.origin});
    if (found != unmatched.end() && found->second > 0) {
      --found->second;
    } else {
      positions.push_back(static_cast<std::int64_t>(i) + 1);
    }
  }
  return positions;
}

}  // namespace capture
