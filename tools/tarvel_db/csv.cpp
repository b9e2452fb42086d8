#include "csv.h"

#include <iterator>
#include <stdexcept>

namespace tarveldb {

std::vector<CsvRecord> readCsv(std::istream& in) {
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.rfind("\xEF\xBB\xBF", 0) == 0) data.erase(0, 3);

  std::vector<CsvRecord> records;
  CsvRecord record;
  std::string field;
  bool quoted = false;
  bool in_quotes = false;
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
    if (!(record.size() == 1 && !record[0])) records.push_back(record);
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
        field.push_back(c);
      }
    } else if (c == '"') {
      in_quotes = quoted = true;
    } else if (c == ',') {
      endField();
    } else if (c == '\n') {
      endRecord();
    } else if (c != '\r') {
      field.push_back(c);
    }
  }
  if (in_quotes) throw std::runtime_error("comillas sin cerrar al final del archivo");
  if (!field.empty() || quoted || !record.empty()) endRecord();
  return records;
}

}  // namespace tarveldb
