#pragma once

struct sqlite3;

namespace store {

// Registers the Spanish collation and the dialect's lcase and InStr on one connection.
void registerDialect(sqlite3* db);

}  // namespace store
