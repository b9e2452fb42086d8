#include "store/sqlite_failure.h"

#include <string_view>
#include <utility>

namespace store {
namespace {

using Kind = StoreError::Kind;

// The table or column a message such as "no such table: Reg_Pre" names, with its kind.
std::pair<Kind, std::string_view> missingFrom(std::string_view message) {
  for (const auto& [prefix, kind] :
       {std::pair{std::string_view("no such table: "), Kind::MissingTable},
        {std::string_view("no such column: "), Kind::MissingColumn}}) {
    if (message.starts_with(prefix)) return {kind, message.substr(prefix.size())};
  }
  return {Kind::Other, {}};
}

Kind kindOf(int extended) {
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
    default:
      return Kind::Other;
  }
}

}  // namespace

StoreError sqliteFailure(std::string what, sqlite3* db, int code) {
  const int recorded = db ? sqlite3_extended_errcode(db) : SQLITE_OK;
  const int extended = recorded != SQLITE_OK ? recorded : code;
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  Kind kind = kindOf(extended);
  std::string missing;
  if ((extended & 0xFF) == SQLITE_ERROR) {
    const auto [missing_kind, name] = missingFrom(message);
    if (!name.empty()) {
      kind = missing_kind;
      missing = name;
    }
  }
  return StoreError(std::move(what), std::move(message), kind, std::move(missing));
}

}  // namespace store
