#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "access_file.h"

namespace tarvel_db {

// An Access file read in this process through libmdb. libmdb trusts the file: a damaged or
// truncated one can make it read out of bounds or loop, so AccessFile calls these in a child
// process of its own.

struct MdbContents {
  std::string format;
  std::vector<AccessTable> tables;
};

// The file's format and tables, every row of which has been counted; AccessError when it is
// not a readable, whole Access file. `progress` is called every few thousand rows counted.
MdbContents readContents(const std::filesystem::path& file, const std::function<void()>& progress);
// Calls `row` with each row of `table`, values in the form AccessRow describes.
void readTableRows(const std::filesystem::path& file, const std::string& table,
                   const std::function<void(const AccessRow&)>& row);

}  // namespace tarvel_db
