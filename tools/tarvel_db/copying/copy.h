#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarvel_db {

// Rows copied per table, in the program's table order.
using CopiedRows = std::vector<std::pair<std::string, std::int64_t>>;

// Moves a delegation's database file into an empty server database: every table with every
// row, record keys kept (new records continue after the highest), then the indexes; each table's
// row count on the server is checked against the file's. All in one transaction: a failure leaves
// the server database empty. The file is only read.
CopiedRows copyToServer(const std::filesystem::path& file, const std::string& uri);

}  // namespace tarvel_db
