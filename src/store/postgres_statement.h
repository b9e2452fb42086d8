#pragma once

#include <string>
#include <string_view>

#include "store/value.h"

namespace store {

// The settings the program's statements rely on, whatever the server's, the database's or
// the role's own defaults: quotes that a backslash cannot escape, reals written with every
// digit, dates as ISO, one time zone and the program's tables first. Given as the
// connection's options.
inline constexpr const char* kPinnedSettings =
    "-c standard_conforming_strings=on -c extra_float_digits=3 -c DateStyle=ISO,YMD "
    "-c IntervalStyle=postgres -c TimeZone=UTC -c search_path=public";

// ? marks become $1, $2, ... outside literals, quoted names and comments.
std::string numberedParameters(std::string_view statement);

// A bound value as the server reads it in text form; empty for a null.
std::string parameterText(const Value& value);

}  // namespace store
