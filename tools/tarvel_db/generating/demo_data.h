#pragma once

#include <string>
#include <vector>

#include "loading/csv.h"
#include "store/connection.h"
#include "text/dates.h"

namespace tarvel_db {

// One catalogue table's demo rows, in its columns' order.
struct CatalogueRows {
  std::string table;
  std::vector<CsvRecord> rows;
};
// The demo's catalogues, in the order they are written.
std::vector<CatalogueRows> demoCatalogues();

// Fills fictional catalogues and capture days before `today` that exercise every module.
void writeDemoData(store::Connection& connection, const text::Date& today);

}  // namespace tarvel_db
