#include "store/literal.h"

#include <algorithm>

#include "store/error.h"

namespace store {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value as the operator's message shows it: a long text is cut, so that the message
// stays readable.
std::string shown(std::string_view value) {
  constexpr std::size_t kLongest = 40;
  if (value.size() <= kLongest) return "'" + std::string(value) + "'";
  return "'" + std::string(value.substr(0, kLongest)) + "...'";
}

}  // namespace

// Every quote inside is doubled, so no typed text can end the literal.
std::string sqlText(std::string_view text) {
  std::string literal = "'";
  literal.reserve(text.size() + 2);
  for (char c : text) {
    literal.push_back(c);
    if (c == '\'') literal.push_back('\'');
  }
  return literal + "'";
}

std::string sqlInteger(std::int64_t value) {
  return std::to_string(value);
}

std::string sqlDate(const text::Date& date) {
  if (!text::isValid(date)) {
    throw StoreError("", "la fecha " + std::to_string(date.day) + "/" + std::to_string(date.month) +
                             "/" + std::to_string(date.year) + " no existe");
  }
  return "#" + text::yearSlashDate(date) + "#";
}

std::string sqlYearFirstDate(std::string_view date) {
  if (!text::parseYearFirst(date)) {
    throw StoreError("", "la fecha " + shown(date) + " no es una fecha válida");
  }
  return "#" + std::string(date) + "#";
}

std::string sqlName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string sqlKey(std::string_view key) {
  const std::string_view digits = key.substr(!key.empty() && key.front() == '-' ? 1 : 0);
  // 18 digits always fit in a 64-bit integer.
  if (digits.empty() || digits.size() > 18 || !std::all_of(digits.begin(), digits.end(), isDigit)) {
    throw StoreError("", "la clave " + shown(key) + " no es un número entero válido");
  }
  return std::string(key);
}

std::string sqlDecimal(std::string_view number) {
  const bool has_digit = std::any_of(number.begin(), number.end(), isDigit);
  const bool only_digits_and_point =
      std::all_of(number.begin(), number.end(), [](char c) { return isDigit(c) || c == '.'; });
  if (!has_digit || !only_digits_and_point || std::count(number.begin(), number.end(), '.') > 1) {
    throw StoreError("", "el número " + shown(number) + " no es una cantidad válida");
  }
  return std::string(number);
}

}  // namespace store
