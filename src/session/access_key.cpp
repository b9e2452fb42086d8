#include "session/access_key.h"

#include <cmath>
#include <regex>
#include <vector>

#include "text/money.h"

namespace session {

std::string lastCharacters(std::string_view text, std::size_t count) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  if (starts.size() <= count) return std::string(text);
  return std::string(text.substr(starts[starts.size() - count]));
}

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
