#include "sqlite_alone.h"

#include <sqlite3.h>

#include <stdexcept>
#include <type_traits>

#include "store/sql_functions.h"

namespace bench {
namespace {

void check(sqlite3* db, int code, const std::string& what) {
  if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) {
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
  }
}

}  // namespace

SqliteAlone::SqliteAlone(const std::filesystem::path& file) : file_(file) {
  open();
}

SqliteAlone::~SqliteAlone() {
  close();
}

void SqliteAlone::reopen() {
  close();
  open();
}

void SqliteAlone::open() {
  // With CREATE, as an archive the statements attach is made when missing.
  check(db_,
        sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        "open");
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 5000);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  store::registerDialect(db_);
  for (const char* pragma :
       {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL", "PRAGMA cache_size=-16384"}) {
    check(db_, sqlite3_exec(db_, pragma, nullptr, nullptr, nullptr), pragma);
  }
}

void SqliteAlone::close() {
  for (auto& [text, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

sqlite3_stmt* SqliteAlone::prepared(const std::string& statement) {
  auto found = statements_.find(statement);
  if (found != statements_.end()) return found->second;
  sqlite3_stmt* made = nullptr;
  check(db_,
        sqlite3_prepare_v3(db_, statement.c_str(), static_cast<int>(statement.size()),
                           SQLITE_PREPARE_PERSISTENT, &made, nullptr),
        statement);
  statements_.emplace(statement, made);
  return made;
}

void SqliteAlone::run(const std::vector<Recorded>& statements) {
  for (const Recorded& recorded : statements) {
    sqlite3_stmt* statement = prepared(recorded.statement);
    for (std::size_t i = 0; i < recorded.values.size(); ++i) {
      const int index = static_cast<int>(i) + 1;
      recorded.values[i].visit([&](const auto& value) {
        using Kind = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Kind, std::int64_t>) {
          sqlite3_bind_int64(statement, index, value);
        } else if constexpr (std::is_same_v<Kind, double>) {
          sqlite3_bind_double(statement, index, value);
        } else if constexpr (std::is_same_v<Kind, std::string>) {
          sqlite3_bind_text(statement, index, value.data(), static_cast<int>(value.size()),
                            SQLITE_STATIC);
        } else {
          sqlite3_bind_null(statement, index);
        }
      });
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
      for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        if (sqlite3_column_type(statement, column) == SQLITE_TEXT) {
          sqlite3_column_text(statement, column);
        }
      }
    }
    check(db_, step, recorded.statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
  }
}

}  // namespace bench
