#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace capture {

// One entry of the day's basket: what a new record of that entry is prefilled with.
struct BasketEntry {
  std::int64_t product = 0;       // Cat_Prod.Num_Prod
  std::int64_t presentation = 0;  // Cat_Pres.Cve_Pres
  std::int64_t origin = 0;        // Cat_Ori.Cve_Ori, or the sugar mill's number in "AZU"
};

// The products, presentations and origins of the records of the most recent earlier
// capture day of a module and destination, in the order they are offered. Entries are
// numbered from 1 (the screen's basket positions); it holds any number of them.
class DayBasket {
 public:
  void clear() { entries_.clear(); }
  void add(const BasketEntry& entry) { entries_.push_back(entry); }
  // The number of entries (shown as the basket's size).
  int size() const { return static_cast<int>(entries_.size()); }
  // Entry `position`, or nothing outside 1..size().
  std::optional<BasketEntry> at(std::int64_t position) const;
  // The positions of the entries not yet captured, in order: each record of the day
  // accounts for one entry of its product, presentation and origin.
  std::vector<std::int64_t> uncapturedPositions(const std::vector<BasketEntry>& captured) const;

 private:
  std::vector<BasketEntry> entries_;
};

}  // namespace capture
