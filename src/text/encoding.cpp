#include "text/encoding.h"

#include <unicode/ucasemap.h>
#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace text {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
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

}  // namespace

std::string toWindows1252(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, ConverterCloser> from_utf8(ucnv_open("UTF-8", &status));
  check(status, "no se pudo abrir la conversión desde UTF-8");
  std::unique_ptr<UConverter, ConverterCloser> to_1252(ucnv_open("windows-1252", &status));
  check(status, "no se pudo abrir la conversión a Windows-1252");
  ucnv_setSubstChars(to_1252.get(), "?", 1, &status);
  check(status, "no se pudo fijar el carácter de sustitución");

  // UTF-16 never has more units than the UTF-8 bytes, and each unit gives at most one byte.
  std::vector<UChar> wide(utf8.size() + 1);
  const int32_t wide_length =
      ucnv_toUChars(from_utf8.get(), wide.data(), static_cast<int32_t>(wide.size()), utf8.data(),
                    static_cast<int32_t>(utf8.size()), &status);
  check(status, "texto UTF-8 no válido");
  std::string out(static_cast<std::size_t>(wide_length) + 1, '\0');
  const int32_t written =
      ucnv_fromUChars(to_1252.get(), out.data(), static_cast<int32_t>(out.size()), wide.data(),
                      wide_length, &status);
  check(status, "no se pudo convertir a Windows-1252");
  out.resize(static_cast<std::size_t>(written));
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
