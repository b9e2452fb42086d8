#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "loading/csv.h"
#include "store/connection.h"
#include "text/dates.h"

namespace tarvel_db {

// Inserts rows into `table`; `columns` names each row's fields in order. Values go in as
// bound parameters and take the column's type. All rows or none: one transaction.
void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<std::string>& columns, const std::vector<CsvRecord>& rows);
// The same with the rows holding the table's first columns, in their stored order, as many
// as the first row has; the columns after them stay empty, so that a column added to a
// table does not change the rows written.
void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<CsvRecord>& rows);

// Loads a CSV file, UTF-8 or Windows-1252, whose header line names the columns (in any
// case). Values are checked against the column types and brought to the stored form: dates
// of Reg_Pre as YYYY-MM-DD (dd/mm/yyyy is converted), the codes that statements compare
// exactly in upper case, the Cat_Dest flags as "S" or "N". The whole file goes in one
// transaction, so a refused file loads nothing; the error names the file, the line and the
// cause (store::StoreError when the database refuses a row). Returns the rows loaded.
std::size_t loadCsv(store::Connection& connection, const std::string& table,
                    const std::string& csv_file);

// One column of a table as loadCsv checks it: its name as the table spells it, and the check
// that brings a value to its stored form (std::invalid_argument with the reason it is
// refused).
struct CheckedColumn {
  std::string name;
  std::function<std::optional<std::string>(const std::optional<std::string>&)> stored;
};
// The columns of `table` in the database, in their order; none when there is no such table.
std::vector<CheckedColumn> checkedColumns(store::Connection& connection, const std::string& table);

// Whether `target` names a database server (postgresql://…) rather than a file.
bool isServer(const std::string& target);
// Opens the file or connects to the server `target` names.
store::Connection openTarget(const std::string& target);
// A new file, or a server database that holds none of the program's tables yet.
store::Connection createTarget(const std::string& target);

// Creates a database (a file, or the tables on an empty server database) with every table
// and index and either the demo data of the days before `demo_today` or the empty
// configuration row. An existing file, or a server that already has the tables, is refused
// and left alone; a file this call created but could not complete is removed again, and a
// server gets everything in one transaction, so that nothing half made is ever taken for a
// working database.
void createDatabaseFile(const std::string& target, const std::optional<text::Date>& demo_today);

}  // namespace tarvel_db
