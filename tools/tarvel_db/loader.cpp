#include "loader.h"

#include <fstream>
#include <regex>
#include <stdexcept>

namespace tarveldb {
namespace {

// Table and column names go into the statement text, so only plain names are taken.
const std::string& checkedName(const std::string& name) {
  static const std::regex kName("^[A-Za-z_][A-Za-z0-9_]*$");
  if (!std::regex_match(name, kName)) throw std::runtime_error("nombre no válido: " + name);
  return name;
}

}  // namespace

void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<std::string>& columns, const std::vector<CsvRecord>& rows) {
  std::string names;
  std::string marks;
  for (const std::string& column : columns) {
    names += (names.empty() ? "" : ", ") + checkedName(column);
    marks += marks.empty() ? "?" : ", ?";
  }
  const std::string statement =
      "INSERT INTO " + checkedName(table) + " (" + names + ") VALUES (" + marks + ")";
  connection.runNative("BEGIN");
  try {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].size() != columns.size()) {
        throw std::runtime_error(table + ", fila " + std::to_string(i + 1) + ": " +
                                 std::to_string(rows[i].size()) + " valores para " +
                                 std::to_string(columns.size()) + " columnas");
      }
      connection.runNative(statement, rows[i]);
    }
    connection.runNative("COMMIT");
  } catch (...) {
    connection.runNative("ROLLBACK");
    throw;
  }
}

std::size_t loadCsv(store::Connection& connection, const std::string& table,
                    const std::string& csv_file) {
  std::ifstream in(csv_file, std::ios::binary);
  if (!in) throw std::runtime_error("no se pudo abrir " + csv_file);
  std::vector<CsvRecord> records = readCsv(in);
  if (records.empty()) throw std::runtime_error(csv_file + " no tiene línea de encabezado");
  std::vector<std::string> columns;
  for (const auto& name : records.front()) {
    if (!name) throw std::runtime_error(csv_file + ": columna sin nombre en el encabezado");
    columns.push_back(*name);
  }
  records.erase(records.begin());
  insertRows(connection, table, columns, records);
  return records.size();
}

}  // namespace tarveldb
