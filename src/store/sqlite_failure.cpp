#include "store/sqlite_failure.h"

#include <string_view>
#include <utility>

namespace store {
namespace {

using Kind = StoreError::Kind;

// The name after `prefix` in a message such as "no such table: Reg_Pre".
std::string_view nameAfter(std::string_view message, std::string_view prefix) {
  if (message.substr(0, prefix.size()) != prefix) return {};
  return message.substr(prefix.size());
}

Kind kindOf(int extended, std::string_view message) {
  if (extended == SQLITE_READONLY_DIRECTORY) return Kind::ReadOnlyFolder;
  switch (extended & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Kind::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return Kind::ReadOnly;
    case SQLITE_FULL:
      return Kind::Full;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Kind::NotADatabase;
    case SQLITE_CANTOPEN:
      return Kind::CannotOpen;
    case SQLITE_IOERR:
      return Kind::Io;
    case SQLITE_NOMEM:
      return Kind::OutOfMemory;
    case SQLITE_CONSTRAINT:
      return Kind::Constraint;
    case SQLITE_ERROR:
      if (!nameAfter(message, "no such table: ").empty()) return Kind::MissingTable;
      if (!nameAfter(message, "no such column: ").empty()) return Kind::MissingColumn;
      return Kind::Other;
    default:
      return Kind::Other;
  }
}

}  // namespace

StoreError sqliteFailure(std::string what, sqlite3* db, int code) {
  const int recorded = db ? sqlite3_extended_errcode(db) : SQLITE_OK;
  const int extended = recorded != SQLITE_OK ? recorded : code;
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  const Kind kind = kindOf(extended, message);
  std::string missing;
  if (kind == Kind::MissingTable) missing = nameAfter(message, "no such table: ");
  if (kind == Kind::MissingColumn) missing = nameAfter(message, "no such column: ");
  return StoreError(std::move(what), std::move(message), kind, std::move(missing));
}

}  // namespace store
