#include "capture/record_list.h"

namespace capture {

std::optional<std::int64_t> RecordList::keyAt(std::int64_t position) const {
  if (position < 1 || position > count()) return std::nullopt;
  return keys_[static_cast<std::size_t>(position - 1)];
}

void RecordList::remove(std::int64_t position) {
  if (position < 1 || position > count()) return;
  keys_.erase(keys_.begin() + (position - 1));
}

void RecordList::insert(std::int64_t position, std::int64_t key) {
  if (position < 1 || position > count() + 1) return;
  keys_.insert(keys_.begin() + (position - 1), key);
}

}  // namespace capture
