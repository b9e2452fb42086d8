#pragma once

#include <sqlite3.h>

#include <memory>

namespace store {

// Owners of SQLite's handles: each is closed or finished when it goes.
struct DatabaseCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// How long a connection waits for another program's lock before it reports the file busy.
inline constexpr int kBusyTimeoutMs = 5000;

}  // namespace store
