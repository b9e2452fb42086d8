#include "loading/csv.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>

namespace tarvel_db {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

std::size_t lineOf(std::string_view bytes, std::size_t offset) {
  return 1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

std::string hexByte(unsigned char byte) {
  std::array<char, 8> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "0x%02X", byte);
  return buffer.data();
}

unsigned char byteAt(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

void refuseNulBytes(std::string_view bytes) {
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) {
    throw CsvError(lineOf(bytes, nul),
                   "tiene un byte nulo (0x00): no es un archivo de texto CSV (guárdelo como CSV "
                   "en UTF-8 o en Windows-1252)");
  }
}

std::string fromWindows1252(std::string_view bytes) {
  // Bytes that Windows-1252 leaves undefined; the converter would turn them into control
  // characters, so they are refused here.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char byte = byteAt(bytes, i);
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      throw CsvError(lineOf(bytes, i), "el byte " + hexByte(byte) +
                                           " no es un carácter ni en UTF-8 ni en "
                                           "Windows-1252; revise la codificación del archivo");
    }
  }
  const auto failed = [](const char* what, UErrorCode status) {
    return CsvError(1, std::string(what) + " (" + u_errorName(status) + ")");
  };
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("windows-1252", &status));
  if (U_FAILURE(status)) throw failed("no se pudo preparar la lectura en Windows-1252", status);
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) throw failed("no se pudo preparar la lectura en Windows-1252", status);

  // Every byte of a single-byte code page gives exactly one UTF-16 unit.
  std::vector<UChar> wide(bytes.size() + 1);
  const int32_t wide_length =
      ucnv_toUChars(converter.get(), wide.data(), static_cast<int32_t>(wide.size()), bytes.data(),
                    static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) throw failed("el texto no se pudo leer como Windows-1252", status);

  int32_t utf8_length = 0;
  u_strToUTF8(nullptr, 0, &utf8_length, wide.data(), wide_length, &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
    throw failed("el texto no se pudo pasar a UTF-8", status);
  }
  status = U_ZERO_ERROR;
  std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
  u_strToUTF8(utf8.data(), utf8_length, nullptr, wide.data(), wide_length, &status);
  if (U_FAILURE(status)) throw failed("el texto no se pudo pasar a UTF-8", status);
  return utf8;
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = byteAt(bytes, i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k >= bytes.size()) return i;
      const unsigned char next = byteAt(bytes, i + k);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return i;
    }
    i += length;
  }
  return std::string_view::npos;
}

CsvError::CsvError(std::size_t line, const std::string& cause)
    : std::runtime_error("línea " + std::to_string(line) + ": " + cause),
      line_(line),
      cause_(cause) {}

std::string officeTextToUtf8(std::string_view bytes) {
  refuseNulBytes(bytes);
  const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  const std::size_t invalid = firstInvalidUtf8(bytes);
  if (invalid == std::string_view::npos) {
    return std::string(marked ? bytes.substr(kByteOrderMark.size()) : bytes);
  }
  if (marked) {
    throw CsvError(lineOf(bytes, invalid),
                   "el archivo se declara UTF-8 pero el byte " + hexByte(byteAt(bytes, invalid)) +
                       " no es UTF-8 válido; revise la codificación del archivo");
  }
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX) - 1) {
    throw CsvError(1, "el archivo es demasiado grande para leerlo");
  }
  return fromWindows1252(bytes);
}

std::vector<NumberedRecord> parseCsv(std::string_view data) {
  std::vector<NumberedRecord> records;
  CsvRecord record;
  std::string field;
  bool quoted = false;
  bool in_quotes = false;
  std::size_t line = 1;
  std::size_t record_line = 1;
  std::size_t quote_line = 1;
  auto endField = [&] {
    if (quoted || !field.empty()) {
      record.emplace_back(field);
    } else {
      record.emplace_back(std::nullopt);
    }
    field.clear();
    quoted = false;
  };
  auto endRecord = [&] {
    endField();
    if (!(record.size() == 1 && !record[0])) records.push_back({record_line, record});
    record.clear();
  };
  for (std::size_t i = 0; i < data.size(); ++i) {
    const char c = data[i];
    if (in_quotes) {
      if (c == '"' && i + 1 < data.size() && data[i + 1] == '"') {
        field.push_back('"');
        ++i;
      } else if (c == '"') {
        in_quotes = false;
      } else {
        if (c == '\n') ++line;
        field.push_back(c);
      }
    } else if (c == '"') {
      in_quotes = quoted = true;
      quote_line = line;
    } else if (c == ',') {
      endField();
    } else if (c == '\n') {
      endRecord();
      record_line = ++line;
    } else if (c != '\r') {
      field.push_back(c);
    }
  }
  if (in_quotes) {
    throw CsvError(quote_line,
                   "las comillas que abren aquí no se cierran antes del final "
                   "del archivo");
  }
  if (!field.empty() || quoted || !record.empty()) endRecord();
  return records;
}

std::vector<CsvRecord> readCsv(std::istream& in) {
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<CsvRecord> records;
  for (NumberedRecord& numbered : parseCsv(officeTextToUtf8(data))) {
    records.push_back(std::move(numbered.fields));
  }
  return records;
}

std::string csvField(const std::optional<std::string>& value) {
  if (!value) return {};
  if (!value->empty() && value->find_first_of(",\"\r\n") == std::string::npos) return *value;
  std::string quoted = "\"";
  for (char c : *value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace tarvel_db
