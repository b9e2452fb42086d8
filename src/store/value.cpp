#include "store/value.h"

#include <cmath>

#include "store/error.h"
#include "text/money.h"

namespace store {

std::string Value::asText() const {
  if (const auto* integer = std::get_if<std::int64_t>(&data_)) return std::to_string(*integer);
  if (const auto* real = std::get_if<double>(&data_)) return text::plainNumber(*real);
  if (const auto* text = std::get_if<std::string>(&data_)) return *text;
  return "";
}

double Value::asReal() const {
  if (const auto* integer = std::get_if<std::int64_t>(&data_)) return static_cast<double>(*integer);
  if (const auto* real = std::get_if<double>(&data_)) return *real;
  if (const auto* text = std::get_if<std::string>(&data_)) {
    if (const auto number = text::readNumber(*text)) return *number;
    throw StoreError("", "el valor '" + *text + "' no es un número");
  }
  return 0;
}

std::int64_t Value::asInteger() const {
  if (const auto* integer = std::get_if<std::int64_t>(&data_)) return *integer;
  return static_cast<std::int64_t>(std::nearbyint(asReal()));
}

std::optional<text::Date> Value::asDate() const {
  if (const auto* text = std::get_if<std::string>(&data_)) return text::parseIso(*text);
  return std::nullopt;
}

}  // namespace store
