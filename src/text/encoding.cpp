#include "text/encoding.h"

#include <unicode/ucasemap.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace text {
namespace {

struct CaseMapCloser {
  void operator()(UCaseMap* map) const { ucasemap_close(map); }
};

void check(UErrorCode status, const char* what) {
  if (U_FAILURE(status)) throw std::runtime_error(std::string(what) + ": " + u_errorName(status));
}

UCaseMap& caseMap() {
  thread_local const std::unique_ptr<UCaseMap, CaseMapCloser> map = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCaseMap, CaseMapCloser> opened(
        ucasemap_open("", U_FOLD_CASE_DEFAULT, &status));
    check(status, "no se pudo preparar el cambio de mayúsculas");
    return opened;
  }();
  return *map;
}

using CaseFunction = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t,
                                 UErrorCode*);

std::string mapCase(std::string_view utf8, CaseFunction function) {
  std::string result(utf8.size() + 8, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = function(&caseMap(), result.data(), static_cast<int32_t>(result.size()),
                                    utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      result.assign(static_cast<std::size_t>(length) + 1, '\0');
      continue;
    }
    check(status, "no se pudo cambiar mayúsculas");
    result.resize(static_cast<std::size_t>(length));
    return result;
  }
  throw std::runtime_error("no se pudo cambiar mayúsculas");
}

// The byte of code point `point` in Windows-1252, "?" where that code page has none.
char windows1252Byte(char32_t point) {
  struct Special {
    char32_t point;
    unsigned char byte;
  };
  // The code page's letters and signs between 0x80 and 0x9F.
  static constexpr Special kSpecials[] = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
      {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
      {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
      {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
      {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
      {0x017E, 0x9E}, {0x0178, 0x9F}};
  if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<char>(point);
  for (const Special& special : kSpecials) {
    if (special.point == point) return static_cast<char>(special.byte);
  }
  // The five bytes the code page leaves undefined stand for themselves.
  if (point == 0x81 || point == 0x8D || point == 0x8F || point == 0x90 || point == 0x9D) {
    return static_cast<char>(point);
  }
  return '?';
}

// The next code point of well-formed UTF-8 at `at`, moving past it; empty for a malformed
// sequence.
std::optional<char32_t> nextCodePoint(std::string_view utf8, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(at);
  int length = 0;
  char32_t point = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    point = lead & 0x07u;
  } else {
    return std::nullopt;
  }
  if (at + static_cast<std::size_t>(length) > utf8.size()) return std::nullopt;
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(at + static_cast<std::size_t>(i));
    if ((next & 0xC0u) != 0x80u) return std::nullopt;
    point = (point << 6) | (next & 0x3Fu);
  }
  // Overlong forms, surrogates and points past the last plane are malformed.
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < kSmallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
    return std::nullopt;
  }
  at += static_cast<std::size_t>(length);
  return point;
}

}  // namespace

std::string toWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    // Most of a report or an export is ASCII, which is the same in both: copied in runs.
    std::size_t ascii = at;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    out.append(utf8.substr(at, ascii - at));
    at = ascii;
    if (at == utf8.size()) break;
    // A malformed byte is a character the code page lacks, like any other.
    const auto point = nextCodePoint(utf8, at);
    if (!point) ++at;
    out += point ? windows1252Byte(*point) : '?';
  }
  return out;
}

std::string toLower(std::string_view utf8) {
  return mapCase(utf8, ucasemap_utf8ToLower);
}

std::string toUpper(std::string_view utf8) {
  return mapCase(utf8, ucasemap_utf8ToUpper);
}

std::string foldCase(std::string_view utf8) {
  return mapCase(utf8, ucasemap_utf8FoldCase);
}

namespace {

// Byte offsets at which the characters of UTF-8 text begin.
std::vector<std::size_t> characterStarts(std::string_view utf8) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  return starts;
}

}  // namespace

std::string firstCharacters(std::string_view utf8, std::size_t count) {
  const auto starts = characterStarts(utf8);
  if (starts.size() <= count) return std::string(utf8);
  return std::string(utf8.substr(0, starts[count]));
}

std::string lastCharacters(std::string_view utf8, std::size_t count) {
  const auto starts = characterStarts(utf8);
  if (starts.size() <= count) return std::string(utf8);
  return std::string(utf8.substr(starts[starts.size() - count]));
}

}  // namespace text
