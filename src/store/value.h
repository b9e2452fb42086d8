#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "text/dates.h"

namespace store {

// One field of a result row, read by the caller in the form it needs.
class Value {
 public:
  Value() = default;
  explicit Value(std::int64_t integer) : data_(integer) {}
  explicit Value(double real) : data_(real) {}
  explicit Value(std::string text) : data_(std::move(text)) {}

  bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
  // Null gives "", numbers their plain decimal text (12.5, 30), text itself.
  std::string asText() const;
  // Rounds half to even like the original conversions; null gives 0. Throws StoreError
  // for a text that is no number.
  std::int64_t asInteger() const;
  double asReal() const;
  // A stored date (YYYY-MM-DD); empty for null or any other text.
  std::optional<text::Date> asDate() const;

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

using Row = std::vector<Value>;
using Rows = std::vector<Row>;

}  // namespace store
