#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "access/access_file.h"
#include "store/connection.h"

namespace tarvel_db {

struct ImportedTable {
  std::string table;  // as the program names it
  std::int64_t read = 0;
  std::int64_t written = 0;
};

struct ImportReport {
  std::vector<ImportedTable> imported;
  // The file's tables that are not the program's, and the program's tables it lacks.
  std::vector<std::string> skipped;
  std::vector<std::string> missing;
};

// Imports every table of the program that `source` holds into `target`, whose tables must
// hold no rows yet (its one configuration row is replaced). Columns are matched by name
// without regard to case and each value goes through the checks of `tarvel-db load`; keys
// are kept, so the key counter goes on after the highest. All in one transaction: a value
// that cannot be converted refuses the whole import, naming table, row key and column, and
// nothing is written. Every table's rows are counted again once written.
ImportReport importAccess(const AccessSource& source, store::Connection& target);

}  // namespace tarvel_db
