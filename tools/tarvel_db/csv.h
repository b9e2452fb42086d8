#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace tarveldb {

// One CSV record: an empty unquoted field reads as null, a quoted one as "".
using CsvRecord = std::vector<std::optional<std::string>>;

// Reads comma-separated records; quotes may hold commas, doubled quotes and line breaks.
// A byte-order mark before the first record is skipped.
std::vector<CsvRecord> readCsv(std::istream& in);

}  // namespace tarveldb
