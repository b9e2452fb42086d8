#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "access/access_file.h"

namespace tarvel_db {

// An Access file read in this process through libmdb. libmdb trusts the file: a damaged or
// truncated one can make it read out of bounds or loop, so AccessFile calls these in a child
// process of its own.

// What the file's first page and its size say: whether it can be a whole Access file, before
// libmdb sees it (AccessError when not). Returns the size of its pages.
std::size_t checkAccessHeader(const std::filesystem::path& file);

struct MdbContents {
  std::string format;
  std::vector<AccessTable> tables;
};

// The file's format and tables; AccessError when it is not a readable Access file, or one
// whose tables' pages are not all there.
MdbContents readContents(const std::filesystem::path& file);
// Calls `row` with each row of `table`, values in the form AccessRow describes; AccessError
// when fewer rows can be read than the table says it has.
void readTableRows(const std::filesystem::path& file, const std::string& table,
                   const std::function<void(const AccessRow&)>& row);

}  // namespace tarvel_db
