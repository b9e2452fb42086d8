#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace text {

// Reads a number in the office's regional form: "." is the decimal point, "," groups
// thousands, a leading "$" and a sign are allowed, blanks around it are ignored.
// Empty when the text is no number.
std::optional<double> readNumber(std::string_view typed);

// A price as the operator may type it: readNumber's form without a sign. Empty for a
// negative amount or a text that is no number.
std::optional<double> readPrice(std::string_view typed);

// The price text: "" for an empty text or zero, otherwise "$", the amount rounded to two
// decimals (half away from zero, on the decimal digits as written), "," between groups of
// three digits, "." and exactly two decimals: 1234.5 gives $1,234.50. Negative amounts get
// a leading "-". A text that is no number comes back unchanged; an amount that is not
// finite throws std::range_error.
std::string FormatoPrecio(std::string_view typed);
std::string FormatoPrecio(double amount);

// A number as plain decimal text: no grouping, no exponent, no trailing zeros (12.5, 30,
// 0). Throws std::range_error for a value that is not finite.
std::string plainNumber(double value);

}  // namespace text
