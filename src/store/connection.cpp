#include "store/connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "store/error.h"
#include "store/jet_dialect.h"
#include "store/sql_functions.h"

namespace store {
namespace {

constexpr int kBusyTimeoutMs = 5000;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

bool onlyBlanks(const char* text) {
  return std::all_of(text, text + std::char_traits<char>::length(text),
                     [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

Value readColumn(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return Value();
    case SQLITE_INTEGER:
      return Value(static_cast<std::int64_t>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(statement, column));
    default: {
      const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      return Value(std::string(data ? data : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
    }
  }
}

}  // namespace

std::filesystem::path databasePath(const std::filesystem::path& folder) {
  return folder / kDatabaseFileName;
}

void Connection::Closer::operator()(sqlite3* db) const {
  sqlite3_close_v2(db);
}

Connection Connection::openWith(const std::filesystem::path& file, int flags) {
  sqlite3* raw = nullptr;
  const int code = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  std::unique_ptr<sqlite3, Closer> db(raw);
  if (code != SQLITE_OK) {
    throw StoreError(file.string(), raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code));
  }
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  registerDialect(raw);
  Connection connection(std::move(db));
  // A rollback journal keeps the file at rest a single file an office can copy.
  connection.runNative("PRAGMA journal_mode=DELETE");
  connection.runNative("PRAGMA synchronous=FULL");
  return connection;
}

Connection Connection::open(const std::filesystem::path& file) {
  return openWith(file, SQLITE_OPEN_READWRITE);
}

Connection Connection::create(const std::filesystem::path& file) {
  if (std::filesystem::exists(file)) throw StoreError(file.string(), "el archivo ya existe");
  return openWith(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

Rows Connection::run(std::string_view jet_statement) {
  const std::string translated = translateJet(jet_statement);
  try {
    return runNative(translated);
  } catch (const StoreError& error) {
    throw StoreError(std::string(jet_statement), error.engineMessage());
  }
}

Rows Connection::runNative(std::string_view statement,
                           const std::vector<std::optional<std::string>>& parameters) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int code = sqlite3_prepare_v2(db_.get(), statement.data(),
                                      static_cast<int>(statement.size()), &raw, &tail);
  StatementHandle prepared(raw);
  if (code != SQLITE_OK) throw StoreError(std::string(statement), sqlite3_errmsg(db_.get()));
  if (!prepared) throw StoreError(std::string(statement), "instrucción vacía");
  const std::string rest(tail, statement.data() + statement.size());
  if (!onlyBlanks(rest.c_str())) {
    throw StoreError(std::string(statement), "el texto contiene más de una instrucción");
  }
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const int bound =
        parameters[i] ? sqlite3_bind_text(raw, index, parameters[i]->data(),
                                          static_cast<int>(parameters[i]->size()), SQLITE_TRANSIENT)
                      : sqlite3_bind_null(raw, index);
    if (bound != SQLITE_OK) throw StoreError(std::string(statement), sqlite3_errmsg(db_.get()));
  }
  Rows rows;
  const int columns = sqlite3_column_count(raw);
  while (true) {
    const int step = sqlite3_step(raw);
    if (step == SQLITE_DONE) break;
    if (step != SQLITE_ROW) throw StoreError(std::string(statement), sqlite3_errmsg(db_.get()));
    Row row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column) row.push_back(readColumn(raw, column));
    rows.push_back(std::move(row));
  }
  return rows;
}

Rows run(const std::filesystem::path& folder, std::string_view jet_statement) {
  return Connection::open(databasePath(folder)).run(jet_statement);
}

}  // namespace store
