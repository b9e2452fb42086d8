#pragma once

#include <string>
#include <string_view>

namespace text {

// UTF-8 to the single-byte Windows-1252 of the output files; a character that code page
// lacks becomes "?".
std::string toWindows1252(std::string_view utf8);

// Unicode-aware lower case and case folding of UTF-8 text.
std::string toLower(std::string_view utf8);
std::string foldCase(std::string_view utf8);

}  // namespace text
