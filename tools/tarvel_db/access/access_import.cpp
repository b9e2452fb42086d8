#include "access/access_import.h"

#include <algorithm>
#include <stdexcept>

#include "loading/csv.h"
#include "loading/loader.h"
#include "store/schema.h"

namespace tarvel_db {
namespace {

std::int64_t rowsIn(store::Connection& target, std::string_view table) {
  return target.runNative("SELECT count(*) FROM " + std::string(table))[0][0].asInteger();
}

// Where a refused value is: the row's key (its first column) or, in a table without one,
// its place.
std::string rowNamed(const store::TableSpec& spec, const AccessTable& table, const AccessRow& row,
                     std::int64_t number) {
  if (spec.key != store::TableKey::None) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      if (sameAccessName(table.columns[i].name, spec.columns.front().name) && row[i]) {
        return "fila con " + std::string(spec.columns.front().name) + " = «" + *row[i] + "»";
      }
    }
  }
  return "fila " + std::to_string(number);
}

ImportedTable importTable(const AccessSource& source, const AccessTable& table,
                          const store::TableSpec& spec, store::Connection& target) {
  const std::string name(spec.name);
  const std::vector<CheckedColumn> checked = checkedColumns(target, name);
  // Each of the file's columns that the program's table has, with its check.
  std::vector<std::pair<std::size_t, const CheckedColumn*>> mapped;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const auto found = std::find_if(checked.begin(), checked.end(), [&](const CheckedColumn& c) {
      return sameAccessName(c.name, table.columns[i].name);
    });
    if (found == checked.end()) continue;
    if (table.columns[i].kind == AccessKind::Unsupported) {
      throw std::runtime_error(name + ", columna " + found->name + ": es de un tipo de Access (" +
                               table.columns[i].typeName + ") que no se puede leer");
    }
    mapped.emplace_back(i, &*found);
  }
  std::vector<std::string> names;
  for (const auto& [index, column] : mapped) names.push_back(column->name);
  std::vector<CsvRecord> rows;
  source.readRows(table.name, [&](const AccessRow& row) {
    CsvRecord stored;
    for (const auto& [index, column] : mapped) {
      try {
        if (row[index] && firstInvalidUtf8(*row[index]) != std::string::npos) {
          throw std::invalid_argument("no es un texto válido en la página de códigos del archivo");
        }
        stored.push_back(column->stored(row[index]));
      } catch (const std::invalid_argument& refused) {
        throw std::runtime_error(
            name + ", " + rowNamed(spec, table, row, static_cast<std::int64_t>(rows.size()) + 1) +
            ", columna " + column->name + ", valor «" + row[index].value_or("") +
            "»: " + refused.what());
      }
    }
    rows.push_back(std::move(stored));
  });
  if (spec.name == "Config") target.runNative("DELETE FROM Config");
  if (!names.empty()) insertRows(target, name, names, rows);
  const ImportedTable done{name, static_cast<std::int64_t>(rows.size()), rowsIn(target, name)};
  if (done.written != done.read) {
    throw std::runtime_error(name + ": se leyeron " + std::to_string(done.read) +
                             " filas y quedaron " + std::to_string(done.written));
  }
  return done;
}

}  // namespace

ImportReport importAccess(const AccessSource& source, store::Connection& target) {
  ImportReport report;
  const auto& contract = store::storageContract();
  for (const AccessTable& table : source.tables()) {
    if (std::none_of(contract.begin(), contract.end(), [&](const store::TableSpec& spec) {
          return sameAccessName(spec.name, table.name);
        })) {
      report.skipped.push_back(table.name);
    }
  }
  // A file of other tables is no delegation's file: importing it would leave an empty
  // database that passes for an imported one.
  if (std::none_of(contract.begin(), contract.end(),
                   [&](const store::TableSpec& spec) { return source.find(spec.name); })) {
    std::string needed;
    for (const store::TableSpec& spec : contract) {
      needed += (needed.empty() ? "" : ", ") + std::string(spec.name);
    }
    throw std::runtime_error("el archivo no tiene ninguna de las tablas del programa (" + needed +
                             "); no se importó nada");
  }
  target.transaction(
      [&] {
        for (const store::TableSpec& spec : contract) {
          const AccessTable* table = source.find(spec.name);
          if (!table) {
            report.missing.emplace_back(spec.name);
            continue;
          }
          if (spec.name != "Config" && rowsIn(target, spec.name) > 0) {
            throw std::runtime_error(
                "la tabla " + std::string(spec.name) +
                " de la base de datos de destino ya tiene filas; importe a una base de datos "
                "nueva (tarvel-db create)");
          }
          report.imported.push_back(importTable(source, *table, spec, target));
        }
      },
      store::TransactionKind::Write);
  return report;
}

}  // namespace tarvel_db
