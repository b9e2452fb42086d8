#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/backend.h"

namespace store {

class Connection;

// What a column holds: keys and counts, prices, codes and names, or dates (stored as
// YYYY-MM-DD text in a file, as dates on a server).
enum class ColumnKind { Integer, Real, Text, Date };

struct ColumnSpec {
  std::string_view name;
  ColumnKind kind;
  // The default of a new row's column, an SQL literal; empty for none.
  std::string_view defaultValue = {};
};

// How a table's rows are told apart: not at all, by its first column, by the record key
// that a counter gives and that is never given twice, or by a record key kept as it was
// given (the archive of purged records).
enum class TableKey { None, FirstColumn, RecordCounter, KeptRecordKey };

struct TableSpec {
  std::string_view name;
  TableKey key;
  std::vector<ColumnSpec> columns;
};

// The storage contract: every table the program uses, its columns in their stored order,
// each once. The schemas of both engines, the start-up check and the statement translator
// are made from it.
const std::vector<TableSpec>& storageContract();
// The table whose rows carry the record key (Reg_Pre), and that key's column.
const TableSpec& recordTable();
std::string_view recordKeyColumn();

// `table`'s CREATE TABLE statement on `backend`, named `name` (the table's own by default).
std::string createStatement(const TableSpec& table, Backend backend, std::string_view name = {});

// The program's tables, in the order they are created.
const std::vector<std::string>& tableNames();

// Creates every table and the indexes the program's lookups use, on a new file.
void createSchema(Connection& connection);
// The tables alone, for a loader that indexes after a bulk load.
void createTables(Connection& connection);
// Adds the indexes a file lacks (one made by an earlier version, say); rows are untouched.
void createIndexes(Connection& connection);

}  // namespace store
