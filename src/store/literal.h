#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/dates.h"

namespace store {

// Every value that goes into a statement passes through one of these, so no typed text can
// change what the statement does. The checking ones throw StoreError, naming the value in
// Spanish, for a value that is not of their form.

// A text literal, quotes included: sqlText("O'Hara") is 'O''Hara'.
std::string sqlText(std::string_view text);
// A table or column name, double-quoted: sqlName("Obs") is "Obs", sqlName("a\"b") is "a""b".
std::string sqlName(std::string_view name);
// An integer in decimal: -12, 30.
std::string sqlInteger(std::int64_t value);
// A date literal of the statements' dialect, without leading zeros: #2006/7/4#. Refuses an
// invalid date.
std::string sqlDate(const text::Date& date);
// A date kept as year/month/day text (2006/7/5 or 2006/07/05), as it stands between #
// signs. Refuses any other form and a day that does not exist.
std::string sqlYearFirstDate(std::string_view date);
// A key as typed, when it is a plain integer: an optional '-' and 1 to 18 digits.
std::string sqlKey(std::string_view key);
// A number as typed, when it is a plain non-negative decimal: digits with at most one '.',
// at least one digit, no sign, exponent or blank (12, 12.50, .5).
std::string sqlDecimal(std::string_view number);

}  // namespace store
