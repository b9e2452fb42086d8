#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/dates.h"

namespace capture {

// The entry period's converters. Both read a date written year first (yyyy/m/d) or day
// first (d/m/yyyy) by the position of its parts, and give two-digit day and month:
// FormatoDMA gives dd/mm/yyyy, FormatoAMD gives yyyy/mm/dd.
std::string FormatoDMA(std::string_view date);
std::string FormatoAMD(std::string_view date);

// The real date a FormatoAMD result names, if any.
std::optional<text::Date> periodDate(std::string_view year_first);

}  // namespace capture
