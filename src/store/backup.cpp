#include "store/backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <system_error>

#include "store/archive.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/sqlite_failure.h"
#include "store/sqlite_handles.h"

namespace store {
namespace {

namespace fs = std::filesystem;

struct BackupFinisher {
  void operator()(sqlite3_backup* backup) const { sqlite3_backup_finish(backup); }
};
using BackupHandle = std::unique_ptr<sqlite3_backup, BackupFinisher>;

DatabaseHandle openDatabase(const fs::path& file, int flags) {
  sqlite3* raw = nullptr;
  const int code = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  DatabaseHandle db(raw);
  if (code != SQLITE_OK) throw sqliteFailure(file.string(), raw, code);
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  return db;
}

void copyPages(const fs::path& from, const fs::path& to) {
  const DatabaseHandle source = openDatabase(from, SQLITE_OPEN_READONLY);
  // A copy that cannot be made is the backup folder's problem, not the database's: it is
  // told as such, and the database stays in use.
  const DatabaseHandle target = [&] {
    try {
      return openDatabase(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    } catch (const StoreError& cannot) {
      throw StoreError(to.string(), "no se pudo crear la copia en la carpeta " +
                                        to.parent_path().string() + " (" + cannot.engineMessage() +
                                        ")");
    }
  }();
  const BackupHandle backup(sqlite3_backup_init(target.get(), "main", source.get(), "main"));
  if (!backup) throw sqliteFailure(to.string(), target.get(), SQLITE_ERROR);
  // The whole file in one step, so no other program's write can slip in between steps.
  const int step = sqlite3_backup_step(backup.get(), -1);
  if (step != SQLITE_DONE) {
    // The step's code is the backup's own; neither connection records it.
    const bool source_side = step == SQLITE_BUSY || step == SQLITE_LOCKED;
    throw sqliteFailure((source_side ? from : to).string(), nullptr, step);
  }
}

// The structural check reads every page and b-tree once, so a torn or damaged copy is
// caught at disk speed; the full check's index cross-checks would triple the cost of every
// purge on a large file.
void checkCopy(const fs::path& copy) {
  const DatabaseHandle db = openDatabase(copy, SQLITE_OPEN_READONLY);
  sqlite3_stmt* raw = nullptr;
  int code = sqlite3_prepare_v2(db.get(), "PRAGMA quick_check", -1, &raw, nullptr);
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> check(raw, sqlite3_finalize);
  if (code != SQLITE_OK) throw sqliteFailure(copy.string(), db.get(), code);
  code = sqlite3_step(raw);
  if (code != SQLITE_ROW) throw sqliteFailure(copy.string(), db.get(), code);
  const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
  if (!verdict || std::string(verdict) != "ok") {
    throw StoreError(copy.string(), "la copia no pasó la comprobación de integridad");
  }
}

void removeQuietly(const fs::path& file) {
  std::error_code ignored;
  fs::remove(file, ignored);
  fs::remove(fs::path(file.string() + "-journal"), ignored);
}

StoreError fileFailure(const fs::path& file, const std::string& doing,
                       const std::error_code& error) {
  return StoreError(file.string(), "no se pudo " + doing + " (" + error.message() + ")");
}

void syncFolder(const fs::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

struct Copy {
  fs::path path;
  text::Date day;
  std::string order;  // date, time and number: sorts as the copies were made
};

// TARVELcaptura-YYYY-MM-DD.mdb (one a day, as earlier versions named them) or
// TARVELcaptura-YYYY-MM-DD-HHMMSS[-N].mdb. Any other name, an impossible date or a number
// longer than the program writes is not one of its copies and is left alone.
std::optional<Copy> copyNamed(const fs::path& path) {
  static const std::regex name(
      R"(TARVELcaptura-(\d{4}-\d{2}-\d{2})(?:-(\d{6})(?:-(\d{1,8}))?)?\.mdb)");
  std::smatch match;
  const std::string file = path.filename().string();
  if (!std::regex_match(file, match, name)) return std::nullopt;
  const auto day = text::parseIso(match[1].str());
  if (!day) return std::nullopt;
  const std::string number = match[3].str();
  return Copy{path, *day,
              match[1].str() + (match[2].matched ? match[2].str() : "000000") +
                  std::string(8 - number.size(), '0') + number};
}

// When the copy was made, as the archive notes a purge's moment.
std::string momentOf(const Copy& copy) {
  const std::string& order = copy.order;
  return order.substr(0, 10) + " " + order.substr(10, 2) + ":" + order.substr(12, 2) + ":" +
         order.substr(14, 2);
}

}  // namespace

fs::path purgeBackupPath(const fs::path& folder, const text::Date& day, int hour, int minute,
                         int second) {
  char name[64];
  std::snprintf(name, sizeof name, "TARVELcaptura-%04d-%02d-%02d-%02d%02d%02d", day.year, day.month,
                day.day, hour, minute, second);
  fs::path path = folder / kBackupFolderName / (std::string(name) + ".mdb");
  for (int n = 2; fs::exists(path); ++n) {
    path = folder / kBackupFolderName / (std::string(name) + "-" + std::to_string(n) + ".mdb");
  }
  return path;
}

void backUpDatabase(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to.parent_path(), error);
  if (error) throw fileFailure(to.parent_path(), "crear la carpeta", error);
  // Built under another name, so a copy cut short never passes for a backup.
  const fs::path partial = to.parent_path() / ("." + to.filename().string() + ".parcial");
  removeQuietly(partial);
  try {
    copyPages(from, partial);
    checkCopy(partial);
  } catch (...) {
    removeQuietly(partial);
    throw;
  }
  fs::rename(partial, to, error);
  if (error) {
    removeQuietly(partial);
    throw fileFailure(to, "poner la copia en su lugar", error);
  }
  syncFolder(to.parent_path());
}

std::vector<fs::path> removeOldBackups(const fs::path& folder, const PurgeCondition& purged,
                                       int kept) {
  std::vector<Copy> copies;
  std::vector<fs::path> removed;
  std::error_code error;
  try {
    for (const auto& entry : fs::directory_iterator(folder / kBackupFolderName, error)) {
      if (!entry.is_regular_file(error)) continue;
      if (auto copy = copyNamed(entry.path())) copies.push_back(std::move(*copy));
    }
  } catch (const fs::filesystem_error&) {
    // A folder that cannot be read keeps every copy; the new one is already in place.
    return removed;
  }
  std::sort(copies.begin(), copies.end(),
            [](const Copy& a, const Copy& b) { return a.order > b.order; });
  // Beyond the newest, a copy goes once the archive holds every record its purge deleted;
  // a copy from before the archive brings its purged records to it first.
  for (std::size_t i = static_cast<std::size_t>(std::max(kept, 1)); i < copies.size(); ++i) {
    if (archiveRecordsOfCopy(folder, copies[i].path, purged(copies[i].day), momentOf(copies[i])) &&
        fs::remove(copies[i].path, error)) {
      removed.push_back(copies[i].path);
    }
  }
  return removed;
}

}  // namespace store
