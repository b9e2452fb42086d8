#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace session {

// A key counts as numeric when it is a plain decimal number: optional blanks, an optional
// sign, digits with at most one decimal point.
bool isNumericKey(std::string_view key);

// A numeric key as a 16-bit integer, rounded half to even (007 gives 7); empty when the key
// is not numeric or out of range.
std::optional<int> keyNumber(std::string_view key);

// A stored delegation key is used bare in statements only when it is a plain integer.
bool isPlainInteger(std::string_view text);

}  // namespace session
