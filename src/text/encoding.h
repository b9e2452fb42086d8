#pragma once

#include <string>
#include <string_view>

namespace text {

// UTF-8 to the single-byte Windows-1252 of the output files; a character that code page
// lacks becomes "?".
std::string toWindows1252(std::string_view utf8);

// Unicode-aware lower and upper case and case folding of UTF-8 text.
std::string toLower(std::string_view utf8);
std::string toUpper(std::string_view utf8);
std::string foldCase(std::string_view utf8);

// The first or last `count` characters (not bytes) of UTF-8 text; the whole text when it
// is shorter.
std::string firstCharacters(std::string_view utf8, std::size_t count);
std::string lastCharacters(std::string_view utf8, std::size_t count);

}  // namespace text
