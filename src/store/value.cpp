#include "store/value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "store/error.h"
#include "text/money.h"

namespace store {
namespace {

// A real in its shortest form (1e+300, 2.5), for a message.
std::string shortForm(double real) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, real);
  return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}

std::int64_t roundToInteger(double real) {
  if (!std::isfinite(real)) throw StoreError("", "el valor leído no es un número finito");
  // Half to even, the rounding of the default floating-point mode.
  const double rounded = std::nearbyint(real);
  // -2^63 and 2^63 are exact doubles; the range is [-2^63, 2^63).
  constexpr double kLimit = 9223372036854775808.0;
  if (rounded < -kLimit || rounded >= kLimit) {
    throw StoreError("", "el número " + shortForm(real) + " es demasiado grande para un entero");
  }
  return static_cast<std::int64_t>(rounded);
}

}  // namespace

std::string Value::asText() const {
  if (const auto* integer = std::get_if<std::int64_t>(&data_)) return std::to_string(*integer);
  if (const auto* real = std::get_if<double>(&data_)) {
    if (!std::isfinite(*real)) throw StoreError("", "el valor leído no es un número finito");
    return text::plainNumber(*real);
  }
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
  if (const auto* text = std::get_if<std::string>(&data_)) {
    // A whole number in the text is read exactly, beyond the digits a real keeps.
    std::int64_t exact = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, exact);
    if (stop == end && !text->empty()) {
      if (error == std::errc{}) return exact;
      if (error == std::errc::result_out_of_range) {
        throw StoreError("", "el número " + *text + " es demasiado grande para un entero");
      }
    }
  }
  return roundToInteger(asReal());
}

std::int32_t Value::asInt32() const {
  const std::int64_t integer = asInteger();
  if (integer < std::numeric_limits<std::int32_t>::min() ||
      integer > std::numeric_limits<std::int32_t>::max()) {
    throw StoreError("", "la clave " + std::to_string(integer) + " no cabe en una lista");
  }
  return static_cast<std::int32_t>(integer);
}

std::optional<text::Date> Value::asDate() const {
  if (const auto* text = std::get_if<std::string>(&data_)) return text::parseIso(*text);
  return std::nullopt;
}

}  // namespace store
