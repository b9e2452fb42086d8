#include "session/access_key.h"

#include <cmath>
#include <regex>

#include "text/money.h"

namespace session {

bool isNumericKey(std::string_view key) {
  static const std::regex kNumber(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)");
  return std::regex_match(key.begin(), key.end(), kNumber);
}

std::optional<int> keyNumber(std::string_view key) {
  if (!isNumericKey(key)) return std::nullopt;
  const auto value = text::readNumber(key);
  if (!value) return std::nullopt;
  const double rounded = std::nearbyint(*value);
  if (rounded < -32768 || rounded > 32767) return std::nullopt;
  return static_cast<int>(rounded);
}

bool isPlainInteger(std::string_view text) {
  static const std::regex kInteger(R"(^-?\d{1,9}$)");
  return std::regex_match(text.begin(), text.end(), kInteger);
}

}  // namespace session
