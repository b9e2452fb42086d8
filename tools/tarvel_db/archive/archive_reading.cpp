#include "archive/archive_reading.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "loading/csv.h"
#include "loading/loader.h"
#include "outputs/export_file.h"
#include "outputs/output_file.h"
#include "store/archive.h"
#include "store/connection.h"
#include "store/schema.h"

namespace tarvel_db {
namespace {

namespace fs = std::filesystem;

// The archive of `target`: on a server its own database, on a file the archive beside it
// (none when no purge has made it yet).
std::optional<store::Connection> openArchive(const std::string& target) {
  if (isServer(target)) {
    store::Connection server = store::Connection::connect(target);
    if (server.columnsOf(store::kArchiveTableName).empty()) return std::nullopt;
    return server;
  }
  if (!fs::exists(target)) throw std::runtime_error("no existe la base de datos " + target);
  const fs::path archive = store::archivePath(fs::absolute(target).parent_path());
  if (!fs::exists(archive)) return std::nullopt;
  return store::Connection::open(archive);
}

std::string describe(const ArchiveFilter& filter) {
  std::string what;
  if (filter.from) what += " desde el " + text::isoDate(*filter.from);
  if (filter.to) what += " hasta el " + text::isoDate(*filter.to);
  if (!filter.module.empty()) what += " del módulo " + filter.module;
  return what;
}

// The export's order: destination, product, origin and presentation keys, then Consec; a
// missing key first, as the file sorts it.
bool exportOrder(const store::Row& a, const store::Row& b) {
  constexpr std::size_t kKeys[] = {2, 3, 4, 5, 11};
  for (const std::size_t key : kKeys) {
    if (a[key].isNull() != b[key].isNull()) return a[key].isNull();
    if (a[key].isNull()) continue;
    if (a[key].asInteger() != b[key].asInteger()) return a[key].asInteger() < b[key].asInteger();
  }
  return false;
}

}  // namespace

std::string withoutUnkeyed(std::string statement) {
  constexpr std::string_view kUnkeyed = " Or Reg_Pre.Cve_del Is Null";
  const auto at = statement.find(kUnkeyed);
  if (at != std::string::npos) statement.erase(at, kUnkeyed.size());
  return statement;
}

std::size_t writeArchivedRecords(const std::string& target, const ArchiveFilter& filter,
                                 std::ostream& out) {
  std::optional<store::Connection> archive = openArchive(target);
  std::string columns;
  for (const store::ColumnSpec& column : store::recordTable().columns) {
    columns += (columns.empty() ? "" : ",") + std::string(column.name);
  }
  store::Rows rows;
  if (archive) {
    std::string statement =
        "SELECT " + columns + " FROM " + store::kArchiveTableName + " WHERE 1 = 1";
    store::Row values;
    if (filter.from) {
      statement += " AND Fecha >= ?";
      values.emplace_back(text::isoDate(*filter.from));
    }
    if (filter.to) {
      statement += " AND Fecha <= ?";
      values.emplace_back(text::isoDate(*filter.to));
    }
    if (!filter.module.empty()) {
      statement += " AND Cve_Mod = ?";
      values.emplace_back(filter.module);
    }
    rows = archive->runNative(statement + " ORDER BY Fecha, Consec", values);
  }
  if (rows.empty()) {
    throw std::runtime_error("el archivo histórico de " + target + " no tiene registros" +
                             describe(filter));
  }
  out << columns << "\n";
  for (const store::Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += (i == 0 ? "" : ",") +
              csvField(row[i].isNull() ? std::nullopt : std::optional(row[i].asText()));
    }
    out << line << "\n";
  }
  return rows.size();
}

DayExport writeDayExport(const std::string& target, const text::Date& day,
                         const std::string& module, std::string delegation, const fs::path& folder,
                         bool keyedOnly) {
  store::Connection database = openTarget(target);
  if (delegation.empty()) {
    const store::Rows config = database.run("SELECT Cve_Del, Cve_Ope from Config");
    if (config.empty() || config[0][0].asText().empty()) {
      throw std::runtime_error("la base de datos no dice su delegación; dé --delegacion");
    }
    delegation = config[0][0].asText();
  }
  std::string statement = outputs::exportStatement(delegation, module, day);
  if (keyedOnly) statement = withoutUnkeyed(statement);
  store::Rows rows = database.run(statement);
  // The same statement on the archive, whose table holds Reg_Pre's columns.
  if (std::optional<store::Connection> archive = openArchive(target)) {
    std::string archived = statement;
    for (std::size_t at = 0; (at = archived.find("Reg_Pre", at)) != std::string::npos;) {
      archived.replace(at, 7, store::kArchiveTableName);
    }
    std::set<std::int64_t> present;
    for (const store::Row& row : rows) present.insert(row[11].asInteger());
    const std::size_t held = rows.size();
    for (store::Row& row : archive->run(archived)) {
      // A record both still in the database and archived is the database's.
      if (!present.count(row[11].asInteger())) rows.push_back(std::move(row));
    }
    if (held > 0 && rows.size() > held) std::stable_sort(rows.begin(), rows.end(), exportOrder);
  }
  if (rows.empty()) {
    throw std::runtime_error("no hay registros de la delegación " + delegation + " del módulo " +
                             module + " el " + text::isoDate(day) +
                             " ni en la base de datos ni en el archivo histórico");
  }
  DayExport written{folder / (delegation + module + ".csv"), rows.size()};
  outputs::OutputFile out(written.file);
  for (const store::Row& row : rows) out.writeLine(outputs::exportLine(module, row));
  out.commit();
  return written;
}

}  // namespace tarvel_db
