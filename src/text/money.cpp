#include "text/money.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace text {
namespace {

// A number read from text, kept as its decimal digits so rounding follows what was typed.
struct DecimalText {
  bool negative = false;
  std::string whole;     // digits before the point, without grouping
  std::string fraction;  // digits after the point
};

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<DecimalText> readDecimal(std::string_view typed) {
  std::string_view s = trim(typed);
  DecimalText number;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    number.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!s.empty() && s.front() == '$') s.remove_prefix(1);
  bool seen_point = false;
  for (char c : s) {
    if (isDigit(c)) {
      (seen_point ? number.fraction : number.whole).push_back(c);
    } else if (c == ',' && !seen_point) {
      continue;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      return std::nullopt;
    }
  }
  if (number.whole.empty() && number.fraction.empty()) return std::nullopt;
  const auto first = number.whole.find_first_not_of('0');
  number.whole = first == std::string::npos ? "" : number.whole.substr(first);
  if (number.whole.size() > 15) return std::nullopt;
  return number;
}

std::string groupThousands(const std::string& digits) {
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

}  // namespace

std::optional<double> readNumber(std::string_view typed) {
  const auto number = readDecimal(typed);
  if (!number) return std::nullopt;
  const std::string canonical =
      (number->whole.empty() ? "0" : number->whole) + "." + number->fraction + "0";
  double value = 0;
  std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  return number->negative ? -value : value;
}

std::optional<double> readPrice(std::string_view typed) {
  const std::string_view s = trim(typed);
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) return std::nullopt;
  return readNumber(s);
}

std::string FormatoPrecio(std::string_view typed) {
  if (typed.empty()) return "";
  const auto number = readDecimal(typed);
  if (!number) return std::string(typed);
  std::int64_t cents = 0;
  for (char c : number->whole) cents = cents * 10 + (c - '0');
  const std::string fraction = number->fraction + "000";
  cents = cents * 100 + (fraction[0] - '0') * 10 + (fraction[1] - '0');
  if (fraction[2] >= '5') ++cents;
  if (cents == 0) return "";
  const std::string units = groupThousands(std::to_string(cents / 100));
  const std::int64_t rest = cents % 100;
  return std::string(number->negative ? "-" : "") + "$" + units + "." +
         static_cast<char>('0' + rest / 10) + static_cast<char>('0' + rest % 10);
}

std::string FormatoPrecio(double amount) {
  return FormatoPrecio(plainNumber(amount));
}

std::string plainNumber(double value) {
  if (!std::isfinite(value)) throw std::range_error("el valor no es un número finito");
  if (value == 0) return "0";
  // The longest finite double in fixed notation: a sign, 309 whole digits for the largest,
  // or "0." and 323 zeros before the 17 digits of the smallest.
  constexpr std::size_t kLongest = 1 + 2 + 323 + 17;
  char buffer[kLongest + 16];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc{}) throw std::range_error("el número no se pudo escribir en decimal");
  return std::string(buffer, end);
}

}  // namespace text
