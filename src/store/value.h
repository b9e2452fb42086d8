#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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
  bool isText() const { return std::holds_alternative<std::string>(data_); }
  // Null gives "", numbers their plain decimal text (12.5, 30), text itself. Throws
  // StoreError for a real that is not finite.
  std::string asText() const;
  // Rounds half to even (2.5 gives 2, 3.5 gives 4, the text "7.5" gives 8); null gives 0.
  // Throws StoreError for a text that is no number and for a number outside the 64-bit
  // range (or not finite).
  std::int64_t asInteger() const;
  // The item datum of a list: rounds like asInteger and throws StoreError, naming the
  // value, when it does not fit in 32 bits.
  std::int32_t asInt32() const;
  double asReal() const;
  // A stored date (YYYY-MM-DD); empty for null or any other text.
  std::optional<text::Date> asDate() const;
  // Calls `visitor` with the value as it was read: std::monostate for null, std::int64_t,
  // double or std::string.
  template <typename Visitor>
  decltype(auto) visit(Visitor&& visitor) const {
    return std::visit(std::forward<Visitor>(visitor), data_);
  }

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

using Row = std::vector<Value>;
using Rows = std::vector<Row>;

}  // namespace store
