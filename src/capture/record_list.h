#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace capture {

// The keys (Reg_Pre.Consec) of the records saved for the module, destination and date on
// screen, in display order, numbered from 1. Position n is a saved record exactly when
// n <= count(). Holds any number of keys of any size.
class RecordList {
 public:
  void clear() { keys_.clear(); }
  // Adds a key after the last saved record.
  void append(std::int64_t key) { keys_.push_back(key); }
  // The number of saved records.
  int count() const { return static_cast<int>(keys_.size()); }
  // The key at `position`, or nothing outside 1..count().
  std::optional<std::int64_t> keyAt(std::int64_t position) const;
  // Removes the key at `position`; those after it move down one place.
  void remove(std::int64_t position);
  // Puts `key` back at `position` (1..count()+1); those from there on move up one place.
  void insert(std::int64_t position, std::int64_t key);

 private:
  std::vector<std::int64_t> keys_;
};

}  // namespace capture
