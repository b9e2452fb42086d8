#include "access/access_listing.h"

#include <algorithm>

#include "loading/csv.h"
#include "store/schema.h"

namespace tarvel_db {
namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "ninguna" : text;
}

}  // namespace

void listAccessFile(const std::string& shownName, const AccessFile& file, std::ostream& out) {
  out << "Archivo: " << shownName << "\nFormato: " << file.format() << "\n";
  // Every row is read, so that a file whose pages are gone is refused, not listed.
  for (const AccessTable& table : file.tables()) file.readRows(table.name, [](const AccessRow&) {});
  for (const AccessTable& table : file.tables()) {
    out << "\nTabla " << table.name << " (" << table.rows << (table.rows == 1 ? " fila" : " filas")
        << ")\n";
    for (const AccessColumn& column : table.columns) {
      out << "  " << column.name << ": " << column.typeName
          << (column.kind == AccessKind::Unsupported ? " (no se admite)" : "") << "\n";
    }
  }
  std::vector<std::string> present, missing, extra;
  for (const store::TableSpec& spec : store::storageContract()) {
    (file.find(spec.name) ? present : missing).emplace_back(spec.name);
  }
  for (const AccessTable& table : file.tables()) {
    const auto& contract = store::storageContract();
    if (std::none_of(contract.begin(), contract.end(), [&](const store::TableSpec& spec) {
          return sameAccessName(spec.name, table.name);
        })) {
      extra.push_back(table.name);
    }
  }
  out << "\nTablas del programa que tiene: " << joined(present)
      << "\nTablas del programa que no tiene: " << joined(missing)
      << "\nTablas que no son del programa: " << joined(extra) << "\n";
  for (const store::TableSpec& spec : store::storageContract()) {
    const AccessTable* table = file.find(spec.name);
    if (!table) continue;
    std::vector<std::string> lacking, besides;
    for (const store::ColumnSpec& column : spec.columns) {
      if (std::none_of(table->columns.begin(), table->columns.end(), [&](const AccessColumn& c) {
            return sameAccessName(c.name, column.name);
          })) {
        lacking.emplace_back(column.name);
      }
    }
    for (const AccessColumn& column : table->columns) {
      if (std::none_of(spec.columns.begin(), spec.columns.end(), [&](const store::ColumnSpec& c) {
            return sameAccessName(c.name, column.name);
          })) {
        besides.push_back(column.name);
      }
    }
    if (!lacking.empty())
      out << spec.name << ": le faltan las columnas " << joined(lacking) << "\n";
    if (!besides.empty()) out << spec.name << ": columnas de más " << joined(besides) << "\n";
  }
}

void writeAccessTable(const std::string& shownName, const AccessSource& source,
                      const std::string& name, std::ostream& out) {
  const AccessTable* table = source.find(name);
  if (!table) throw AccessError("El archivo " + shownName + " no tiene la tabla " + name + ".");
  std::string header;
  for (const AccessColumn& column : table->columns) {
    header += (header.empty() ? "" : ",") + csvField(column.name);
  }
  out << header << "\n";
  source.readRows(table->name, [&](const AccessRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) line += (i == 0 ? "" : ",") + csvField(row[i]);
    out << line << "\n";
  });
}

void printImport(const std::string& shownFile, const std::string& shownTarget,
                 const ImportReport& report, std::ostream& out) {
  for (const ImportedTable& table : report.imported) {
    out << table.table << ": " << table.read << " filas leídas, " << table.written << " escritas\n";
  }
  if (!report.skipped.empty()) {
    out << "No se importan (no son tablas del programa): " << joined(report.skipped) << '\n';
  }
  if (!report.missing.empty()) {
    out << "El archivo no tiene estas tablas del programa: " << joined(report.missing) << '\n';
  }
  out << "Importado de " << shownFile << " a " << shownTarget << '\n';
}

}  // namespace tarvel_db
