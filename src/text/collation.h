#pragma once

#include <string_view>

namespace text {

// Spanish alphabetical order: case-insensitive, an accented letter right after its base
// letter, ñ after n. Negative, zero or positive like strcmp. Texts are UTF-8.
int compareSpanish(std::string_view a, std::string_view b);

inline bool lessSpanish(std::string_view a, std::string_view b) {
  return compareSpanish(a, b) < 0;
}

}  // namespace text
