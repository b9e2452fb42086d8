#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel_db {

// One CSV record: an empty unquoted field reads as null, a quoted one as "".
using CsvRecord = std::vector<std::optional<std::string>>;

// A record and the line of the file on which it begins (the first line is 1).
struct NumberedRecord {
  std::size_t line = 0;
  CsvRecord fields;
};

// A fault in the text of a file, found on `line`; what() reads "línea N: cause".
class CsvError : public std::runtime_error {
 public:
  CsvError(std::size_t line, const std::string& cause);
  std::size_t line() const { return line_; }
  const std::string& cause() const { return cause_; }

 private:
  std::size_t line_;
  std::string cause_;
};

// The offset of the first byte that breaks UTF-8 (overlong forms and surrogates included),
// or npos when the whole text is valid.
std::size_t firstInvalidUtf8(std::string_view bytes);

// The text of a file as UTF-8. Valid UTF-8 stays as it is, without its byte-order mark;
// anything else is read as Windows-1252, the code page of the office machines the
// catalogues come from. Refused (CsvError on the line of the first bad byte): a NUL byte,
// a byte that Windows-1252 leaves undefined, and a file that starts with a UTF-8 byte-order
// mark but holds bytes that are not UTF-8.
std::string officeTextToUtf8(std::string_view bytes);

// Reads comma-separated records from UTF-8 text; quotes may hold commas, doubled quotes and
// line breaks. Blank lines are skipped. An unclosed quote is a CsvError on its line.
std::vector<NumberedRecord> parseCsv(std::string_view utf8);

// The records of a whole stream: officeTextToUtf8, then parseCsv.
std::vector<CsvRecord> readCsv(std::istream& in);

// A field as readCsv reads it back: nothing for null, quotes around a text that is empty or
// holds a comma, a quote or a line break.
std::string csvField(const std::optional<std::string>& value);

}  // namespace tarvel_db
