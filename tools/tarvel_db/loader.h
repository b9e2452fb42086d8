#pragma once

#include <string>
#include <vector>

#include "csv.h"
#include "store/connection.h"

namespace tarveldb {

// Inserts rows into `table`; `columns` names each row's fields in order. Values go in as
// bound parameters and take the column's type.
void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<std::string>& columns, const std::vector<CsvRecord>& rows);

// Loads a CSV file whose header line names the columns.
std::size_t loadCsv(store::Connection& connection, const std::string& table,
                    const std::string& csv_file);

}  // namespace tarveldb
