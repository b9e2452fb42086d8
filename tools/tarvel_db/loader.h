#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "csv.h"
#include "store/connection.h"
#include "text/dates.h"

namespace tarveldb {

// Inserts rows into `table`; `columns` names each row's fields in order. Values go in as
// bound parameters and take the column's type. All rows or none: one transaction.
void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<std::string>& columns, const std::vector<CsvRecord>& rows);

// Loads a CSV file, UTF-8 or Windows-1252, whose header line names the columns (in any
// case). Values are checked against the column types and brought to the stored form: dates
// of Reg_Pre as YYYY-MM-DD (dd/mm/yyyy is converted), the codes that statements compare
// exactly in upper case, the Cat_Dest flags as "S" or "N". The whole file goes in one
// transaction, so a refused file loads nothing; the error names the file, the line and the
// cause (store::StoreError when the database refuses a row). Returns the rows loaded.
std::size_t loadCsv(store::Connection& connection, const std::string& table,
                    const std::string& csv_file);

// Creates a database file with every table and index and either the demo data of the
// days before `demo_today` or the empty configuration row. An existing file is refused and
// left alone; a file this call created but could not complete is removed again, so that it
// is never taken for a working database.
void createDatabaseFile(const std::filesystem::path& file,
                        const std::optional<text::Date>& demo_today);

}  // namespace tarveldb
