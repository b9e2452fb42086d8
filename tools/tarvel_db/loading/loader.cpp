#include "loading/loader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <regex>
#include <stdexcept>

#include "generating/demo_data.h"
#include "store/error.h"
#include "store/schema.h"
#include "store/server_settings.h"
#include "text/dates.h"
#include "text/encoding.h"

namespace tarvel_db {
namespace {

// Table and column names go into the statement text, so only plain names are taken.
const std::string& checkedName(const std::string& name) {
  static const std::regex kName("^[A-Za-z_][A-Za-z0-9_]*$");
  if (!std::regex_match(name, kName)) throw std::runtime_error("nombre no válido: " + name);
  return name;
}

std::string asciiUpper(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Table and column names are case-insensitive, as in the statements.
bool sameName(std::string_view a, std::string_view b) {
  return asciiUpper(a) == asciiUpper(b);
}

std::string trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string quotedValue(const std::string& value) {
  return "«" + value + "»";
}

// Runs `statement` once per row inside one transaction: all rows or none. On a failure
// `failed` gets the row's index (npos when beginning or committing failed) and the error,
// and returns the error to throw.
template <typename Failed>
void insertAll(store::Connection& connection, const std::string& statement,
               const std::vector<CsvRecord>& rows, Failed failed) {
  constexpr std::size_t kNoRow = std::string::npos;
  std::size_t current = kNoRow;
  try {
    connection.transaction([&] {
      for (current = 0; current < rows.size(); ++current) {
        connection.runNative(statement, rows[current]);
      }
      current = kNoRow;
    });
  } catch (const store::StoreError& error) {
    throw failed(current, error);
  }
}

std::string insertStatement(const std::string& table, const std::vector<std::string>& columns) {
  std::string names;
  std::string marks;
  for (const std::string& column : columns) {
    names += (names.empty() ? "" : ", ") + checkedName(column);
    marks += marks.empty() ? "?" : ", ?";
  }
  return "INSERT INTO " + checkedName(table) + " (" + names + ") VALUES (" + marks + ")";
}

// How a loaded value is checked and brought to its stored form.
enum class Kind { kText, kInteger, kReal, kDate, kCode, kFlag };

struct Column {
  std::string name;
  Kind kind = Kind::kText;
};

Kind kindOf(const std::string& table, const std::string& column, const std::string& type) {
  const auto is = [](const std::string& name, std::initializer_list<std::string_view> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view candidate) { return sameName(name, candidate); });
  };
  if (is(table, {"Reg_Pre"}) && is(column, {"Fecha", "Fecha_de", "Fecha_a"})) return Kind::kDate;
  if ((is(table, {"Reg_Pre", "Cat_Prod"}) && is(column, {"Cve_Mod"})) ||
      (is(table, {"Cat_Prod"}) && is(column, {"Cve_Prod"})) ||
      (is(table, {"Cat_Var_Ace"}) && is(column, {"Variedad"}))) {
    return Kind::kCode;
  }
  if (is(table, {"Cat_Dest"}) && is(column, {"FRU", "AZU", "ACE", "GRA", "FLO"})) {
    return Kind::kFlag;
  }
  // The engine's own rules for a declared type.
  const std::string upper = asciiUpper(type);
  if (upper.find("INT") != std::string::npos) return Kind::kInteger;
  if (upper.find("REAL") != std::string::npos || upper.find("FLOA") != std::string::npos ||
      upper.find("DOUB") != std::string::npos) {
    return Kind::kReal;
  }
  return Kind::kText;
}

std::string storedDate(const std::string& value) {
  static const std::regex kIso(R"(^\d{4}-\d{2}-\d{2}$)");
  static const std::regex kDayFirst(R"(^\d{1,2}/\d{1,2}/\d{4}$)");
  std::optional<text::Date> date;
  if (std::regex_match(value, kIso)) {
    date = text::parseIso(value);
  } else if (std::regex_match(value, kDayFirst)) {
    date = text::parseDayFirst(value);
  }
  if (!date) {
    throw std::invalid_argument(
        "no es una fecha válida (se acepta AAAA-MM-DD o dd/mm/aaaa, y el día debe existir)");
  }
  return text::isoDate(*date);
}

// The value as it is stored, or std::invalid_argument with the reason it is refused.
std::optional<std::string> storedValue(Kind kind, const std::optional<std::string>& value) {
  if (kind == Kind::kText) return value;
  const std::string typed = value ? trimmed(*value) : std::string();
  if (kind == Kind::kFlag) {
    // A destination without a mark is not offered in that module.
    if (typed.empty()) return "N";
    const std::string flag = text::toUpper(typed);
    if (flag != "S" && flag != "N") throw std::invalid_argument("la marca debe ser S o N");
    return flag;
  }
  if (typed.empty()) return std::nullopt;
  switch (kind) {
    case Kind::kInteger: {
      static const std::regex kInteger(R"(^[+-]?\d{1,18}$)");
      if (!std::regex_match(typed, kInteger)) {
        throw std::invalid_argument("se esperaba un número entero");
      }
      return typed;
    }
    case Kind::kReal: {
      static const std::regex kNumber(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)");
      if (!std::regex_match(typed, kNumber)) {
        throw std::invalid_argument(
            "se esperaba un número con punto decimal y sin separador de miles");
      }
      return typed;
    }
    case Kind::kDate:
      return storedDate(typed);
    case Kind::kCode:
      return text::toUpper(typed);
    default:
      return value;
  }
}

std::string readWholeFile(const std::string& file) {
  std::error_code ignored;
  if (!std::filesystem::exists(file, ignored)) {
    throw std::runtime_error(file + ": el archivo no existe");
  }
  if (std::filesystem::is_directory(file, ignored)) {
    throw std::runtime_error(file + ": es una carpeta, no un archivo CSV");
  }
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    throw std::runtime_error(file + ": no se pudo leer el archivo (revise los permisos)");
  }
  return bytes;
}

// The columns of `table` with their declared types; none when there is no such table.
std::vector<std::pair<std::string, std::string>> tableColumns(store::Connection& connection,
                                                              const std::string& table) {
  std::vector<std::pair<std::string, std::string>> columns;
  // A server names its types ("integer", "double precision", "date") where SQLite has the
  // declared ones; both read the same through kindOf.
  const char* statement =
      connection.backend() == store::Backend::PostgreSQL
          ? "SELECT column_name, data_type FROM information_schema.columns WHERE table_schema = "
            "current_schema() AND table_name = lower(?) ORDER BY ordinal_position"
          : "SELECT name, type FROM pragma_table_info(?)";
  for (const store::Row& row : connection.runNative(statement, {table})) {
    columns.emplace_back(row[0].asText(), row[1].asText());
  }
  return columns;
}

std::vector<Column> headerColumns(const std::string& table, const NumberedRecord& header,
                                  const std::vector<std::pair<std::string, std::string>>& known) {
  std::vector<Column> columns;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const std::string name = header.fields[i] ? trimmed(*header.fields[i]) : std::string();
    if (name.empty()) {
      throw CsvError(header.line,
                     "la columna " + std::to_string(i + 1) + " del encabezado no tiene nombre");
    }
    const auto found = std::find_if(known.begin(), known.end(), [&](const auto& column) {
      return sameName(column.first, name);
    });
    if (found == known.end()) {
      throw CsvError(header.line,
                     "la tabla " + table + " no tiene la columna " + quotedValue(name));
    }
    if (std::any_of(columns.begin(), columns.end(),
                    [&](const Column& column) { return column.name == found->first; })) {
      throw CsvError(header.line, "la columna " + found->first + " aparece dos veces");
    }
    columns.push_back({found->first, kindOf(table, found->first, found->second)});
  }
  return columns;
}

}  // namespace

void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<CsvRecord>& rows) {
  for (const store::TableSpec& spec : store::storageContract()) {
    if (spec.name != table) continue;
    std::vector<std::string> columns;
    const std::size_t given = rows.empty() ? spec.columns.size() : rows.front().size();
    for (const store::ColumnSpec& column : spec.columns) {
      if (columns.size() < given) columns.emplace_back(column.name);
    }
    return insertRows(connection, table, columns, rows);
  }
  throw std::invalid_argument("la tabla " + table + " no es del programa");
}

void insertRows(store::Connection& connection, const std::string& table,
                const std::vector<std::string>& columns, const std::vector<CsvRecord>& rows) {
  const std::string statement = insertStatement(table, columns);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != columns.size()) {
      throw std::runtime_error(table + ", fila " + std::to_string(i + 1) + ": " +
                               std::to_string(rows[i].size()) + " valores para " +
                               std::to_string(columns.size()) + " columnas");
    }
  }
  insertAll(connection, statement, rows,
            [](std::size_t, const store::StoreError& error) { return error; });
}

std::vector<CheckedColumn> checkedColumns(store::Connection& connection, const std::string& table) {
  std::vector<CheckedColumn> columns;
  for (const auto& [name, type] : tableColumns(connection, checkedName(table))) {
    const Kind kind = kindOf(table, name, type);
    columns.push_back({name, [kind](const std::optional<std::string>& value) {
                         return storedValue(kind, value);
                       }});
  }
  return columns;
}

std::size_t loadCsv(store::Connection& connection, const std::string& table,
                    const std::string& csv_file) {
  checkedName(table);
  const auto known = tableColumns(connection, table);
  if (known.empty()) {
    throw std::runtime_error(csv_file + ": la base de datos no tiene la tabla " + table);
  }
  const std::string bytes = readWholeFile(csv_file);

  std::vector<std::string> names;
  std::vector<CsvRecord> rows;
  std::vector<std::size_t> lines;
  try {
    const std::vector<NumberedRecord> records = parseCsv(officeTextToUtf8(bytes));
    if (records.empty()) throw CsvError(1, "el archivo está vacío; falta el encabezado");
    const std::vector<Column> columns = headerColumns(table, records.front(), known);
    for (const Column& column : columns) names.push_back(column.name);
    for (auto record = records.begin() + 1; record != records.end(); ++record) {
      if (record->fields.size() != columns.size()) {
        throw CsvError(record->line, "tiene " + std::to_string(record->fields.size()) +
                                         " valores y el encabezado nombra " +
                                         std::to_string(columns.size()) + " columnas");
      }
      CsvRecord row;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        try {
          row.push_back(storedValue(columns[i].kind, record->fields[i]));
        } catch (const std::invalid_argument& refused) {
          throw CsvError(record->line, "columna " + columns[i].name + ", valor " +
                                           quotedValue(record->fields[i].value_or("")) + ": " +
                                           refused.what());
        }
      }
      rows.push_back(std::move(row));
      lines.push_back(record->line);
    }
  } catch (const CsvError& error) {
    throw std::runtime_error(csv_file + ", " + error.what());
  }

  insertAll(connection, insertStatement(table, names), rows,
            [&](std::size_t i, const store::StoreError& error) {
              const std::string where =
                  i < lines.size() ? csv_file + ", línea " + std::to_string(lines[i]) : csv_file;
              return store::StoreError(error.statement(), where + ": " + error.what());
            });
  return rows.size();
}

bool isServer(const std::string& target) {
  return target.rfind("postgresql://", 0) == 0;
}

store::Connection openTarget(const std::string& target) {
  return isServer(target) ? store::Connection::connect(target) : store::Connection::open(target);
}

store::Connection createTarget(const std::string& target) {
  if (!isServer(target)) return store::Connection::create(target);
  store::Connection connection = store::Connection::connect(target);
  if (!connection.columnsOf("Reg_Pre").empty()) {
    throw std::runtime_error("la base de datos del servidor ya tiene las tablas del programa");
  }
  return connection;
}

void createDatabaseFile(const std::string& target, const std::optional<text::Date>& demo_today) {
  bool created = false;
  try {
    store::Connection connection = createTarget(target);
    created = true;
    const auto fill = [&] {
      store::createSchema(connection);
      if (demo_today) {
        writeDemoData(connection, *demo_today);
      } else {
        insertRows(connection, "Config", {{"0", "0"}});
      }
    };
    // A server takes the tables in one transaction, so a failure leaves it empty.
    if (isServer(target)) {
      connection.transaction(fill);
    } else {
      fill();
    }
  } catch (const std::exception& failure) {
    if (created && !isServer(target)) {
      const std::filesystem::path file = target;
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
      std::filesystem::path journal = file;
      journal += "-journal";
      if (std::filesystem::is_regular_file(journal, ignored)) {
        std::filesystem::remove(journal, ignored);
      }
    }
    const std::string where = isServer(target) ? store::serverName(target) : target;
    throw std::runtime_error("no se pudo crear la base de datos " + where + ": " + failure.what());
  }
}

}  // namespace tarvel_db
