#pragma once

#include <sqlite3.h>

#include <string>

#include "store/error.h"

namespace store {

// A failure SQLite reported with result `code`, told of `what` (a statement or a file): the
// message and extended code `db` recorded for it (none when `db` is null), as a failure of
// the store.
StoreError sqliteFailure(std::string what, sqlite3* db, int code);

}  // namespace store
