#pragma once

#include <string>
#include <string_view>

namespace store {

// Text put between single quotes in a statement: every quote inside is doubled, so no
// typed text can end the literal.
inline std::string escapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    escaped.push_back(c);
    if (c == '\'') escaped.push_back('\'');
  }
  return escaped;
}

}  // namespace store
