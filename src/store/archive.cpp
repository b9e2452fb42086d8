#include "store/archive.h"

#include <optional>
#include <system_error>

#include "store/backup.h"
#include "store/connection.h"
#include "store/error.h"

namespace store {
namespace {

namespace fs = std::filesystem;

// The archive's name in statements on `backend`: on a file, the attached archive database's
// table.
std::string archiveName(Backend backend) {
  return std::string(backend == Backend::PostgreSQL ? "" : "historico.") + kArchiveTableName;
}

std::string recordColumns(std::string_view prefix = {}) {
  std::string columns;
  for (const ColumnSpec& column : recordTable().columns) {
    if (!columns.empty()) columns += ", ";
    columns += std::string(prefix) + std::string(column.name);
  }
  return columns;
}

void createArchive(Connection& connection, std::string_view schema) {
  const Backend backend = connection.backend();
  const std::string create =
      createStatement(archiveTable(), backend, std::string(schema) + kArchiveTableName);
  connection.runNative("CREATE TABLE IF NOT EXISTS " + create.substr(create.find(' ', 7) + 1));
  connection.runNative("CREATE INDEX IF NOT EXISTS " + std::string(schema) + kArchiveTableName +
                       "_Fecha ON " + kArchiveTableName + " (Fecha, Cve_Mod)");
}

// The records `condition` names in `records` that the archive `archive` lacks or holds in
// another form, compared column by column (nulls equal to nulls).
std::string missingFromArchive(Backend backend, const std::string& records,
                               const std::string& archive, const std::string& condition) {
  const char* same = backend == Backend::PostgreSQL ? " IS NOT DISTINCT FROM " : " IS ";
  std::string statement = "SELECT count(*) FROM " + records + " AS r WHERE (" + condition +
                          ") AND NOT EXISTS (SELECT 1 FROM " + archive + " AS h WHERE ";
  bool first = true;
  for (const ColumnSpec& column : recordTable().columns) {
    const std::string name(column.name);
    statement += first ? "h." + name + " = r." + name : " AND h." + name + same + "r." + name;
    first = false;
  }
  return statement + ")";
}

// The archive attached to a file's connection while it lives.
class AttachedArchive {
 public:
  AttachedArchive(Connection& connection, const fs::path& folder) : connection_(connection) {
    std::error_code ignored;
    fs::create_directories(folder / kBackupFolderName, ignored);
    // The database's connection opens files that exist; the archive's first purge makes it.
    if (!fs::exists(archivePath(folder))) {
      Connection made = Connection::create(archivePath(folder));
      createArchive(made, "main.");
    }
    connection_.runNative("ATTACH DATABASE ? AS historico",
                          Row{Value(archivePath(folder).string())});
    // Its commit is one with the database's: both keep a rollback journal, flushed.
    connection_.runNative("PRAGMA historico.journal_mode=DELETE");
    connection_.runNative("PRAGMA historico.synchronous=FULL");
  }
  ~AttachedArchive() {
    try {
      connection_.runNative("DETACH DATABASE historico");
    } catch (const StoreError&) {
      // Detached with the connection when it closes.
    }
  }
  AttachedArchive(const AttachedArchive&) = delete;
  AttachedArchive& operator=(const AttachedArchive&) = delete;

 private:
  Connection& connection_;
};

}  // namespace

void createArchiveTable(Connection& server) {
  createArchive(server, "");
}

const TableSpec& archiveTable() {
  static const TableSpec archive = [] {
    TableSpec table{kArchiveTableName, TableKey::KeptRecordKey, recordTable().columns};
    table.columns.push_back({kArchiveMomentColumn, ColumnKind::Text});
    return table;
  }();
  return archive;
}

fs::path archivePath(const fs::path& folder) {
  return folder / kBackupFolderName / kArchiveFileName;
}

std::int64_t archiveAndPurge(Connection& connection, const fs::path& folder,
                             const std::string& condition, const std::string& moment,
                             const std::function<void()>& deleteRecords) {
  const Backend backend = connection.backend();
  const bool on_file = backend != Backend::PostgreSQL;
  std::optional<AttachedArchive> attached;
  if (on_file) attached.emplace(connection, folder);
  const std::string archive = archiveName(backend);
  std::int64_t moved = 0;
  connection.transaction(
      [&] {
        // A station of a prepared server may not make tables; the preparation made it.
        if (on_file || connection.columnsOf(kArchiveTableName).empty()) {
          createArchive(connection, on_file ? "historico." : "");
        }
        moved =
            connection.runNative("SELECT count(*) FROM Reg_Pre WHERE (" + condition + ")", Row{})
                .at(0)
                .at(0)
                .asInteger();
        std::string updates;
        for (const ColumnSpec& column : archiveTable().columns) {
          if (column.name == recordKeyColumn()) continue;
          updates += std::string(updates.empty() ? "" : ", ") + std::string(column.name) +
                     " = excluded." + std::string(column.name);
        }
        connection.runNative("INSERT INTO " + archive + " (" + recordColumns() + ", " +
                                 kArchiveMomentColumn + ") SELECT " + recordColumns() +
                                 ", ? FROM Reg_Pre WHERE (" + condition + ") ON CONFLICT (" +
                                 std::string(recordKeyColumn()) + ") DO UPDATE SET " + updates,
                             Row{Value(moment)});
        const std::int64_t missing =
            connection.runNative(missingFromArchive(backend, "Reg_Pre", archive, condition), Row{})
                .at(0)
                .at(0)
                .asInteger();
        if (missing != 0) {
          throw StoreError(on_file ? archivePath(folder).string() : archive,
                           "el archivo histórico no quedó con " + std::to_string(missing) +
                               " de los registros por borrar tal como están; no se borró nada");
        }
        deleteRecords();
      },
      TransactionKind::Write);
  return moved;
}

bool archiveRecordsOfCopy(const fs::path& folder, const fs::path& copy,
                          const std::string& condition, const std::string& moment) {
  try {
    const fs::path file = archivePath(folder);
    Connection archive = fs::exists(file) ? Connection::open(file) : Connection::create(file);
    archive.runNative("ATTACH DATABASE ? AS copia", Row{Value(copy.string())});
    bool whole = false;
    archive.transaction(
        [&] {
          createArchive(archive, "main.");
          archive.runNative("INSERT INTO " + std::string(kArchiveTableName) + " (" +
                                recordColumns() + ", " + kArchiveMomentColumn + ") SELECT " +
                                recordColumns() + ", ? FROM copia.Reg_Pre WHERE (" + condition +
                                ") ON CONFLICT (" + std::string(recordKeyColumn()) + ") DO NOTHING",
                            Row{Value(moment)});
          // A record archived since in another form was changed before its purge: that form
          // is the one kept.
          const std::string lacking = "SELECT count(*) FROM copia.Reg_Pre AS r WHERE (" +
                                      condition + ") AND NOT EXISTS (SELECT 1 FROM " +
                                      kArchiveTableName + " AS h WHERE h.Consec = r.Consec)";
          whole = archive.runNative(lacking, Row{}).at(0).at(0).asInteger() == 0;
        },
        TransactionKind::Write);
    archive.runNative("DETACH DATABASE copia");
    return whole;
  } catch (const StoreError&) {
    return false;
  }
}

}  // namespace store
