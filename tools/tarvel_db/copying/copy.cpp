#include "copying/copy.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "loading/loader.h"
#include "store/connection.h"
#include "store/literal.h"
#include "store/schema.h"
#include "text/encoding.h"

namespace tarvel_db {
namespace {

constexpr std::size_t kRowsPerStatement = 200;

// The file's columns of `table` under the server's names; a column the server lacks stops
// the copy rather than dropping its values.
std::vector<std::pair<std::string, std::string>> matchedColumns(store::Connection& file,
                                                                store::Connection& server,
                                                                const std::string& table) {
  const std::vector<std::string> on_server = server.columnsOf(table);
  std::vector<std::pair<std::string, std::string>> columns;
  for (const std::string& column : file.columnsOf(table)) {
    const auto found = std::find_if(on_server.begin(), on_server.end(), [&](const auto& name) {
      return text::foldCase(name) == text::foldCase(column);
    });
    if (found == on_server.end()) {
      throw std::runtime_error("la columna " + column + " de la tabla " + table +
                               " del archivo no existe en el servidor");
    }
    columns.emplace_back(column, *found);
  }
  return columns;
}

// The server's text holds no NUL character: a text with one would arrive cut short, so the
// copy stops and names where it is (the row by its first column, the table's key).
void refuseCutText(const std::string& table,
                   const std::vector<std::pair<std::string, std::string>>& columns,
                   const store::Row& row) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const store::Value& value = row[c + 1];
    if (value.isText() && value.asText().find('\0') != std::string::npos) {
      throw std::runtime_error("la tabla " + table + ", fila con " + columns.front().first + " = " +
                               row[1].asText() + ", columna " + columns[c].first +
                               ": el texto contiene un carácter nulo, que el servidor no "
                               "guarda; corríjalo en el archivo y vuelva a copiar");
    }
  }
}

// The server's key counter goes on from the file's own, which is past the highest key left
// when the newest records were deleted: a key once given is never given again.
void continueKeyCounter(store::Connection& file, store::Connection& server) {
  if (file.runNative("SELECT 1 FROM sqlite_master WHERE name = 'sqlite_sequence'").empty()) {
    return;
  }
  const store::Rows counter =
      file.runNative("SELECT seq FROM sqlite_sequence WHERE name = 'Reg_Pre'");
  if (counter.empty() || counter[0][0].asInteger() < 1) return;
  server.runNative(
      "SELECT setval('reg_pre_consec_seq', greatest(?::bigint, (SELECT CASE WHEN is_called "
      "THEN last_value ELSE 0 END FROM reg_pre_consec_seq)))",
      store::Row{counter[0][0]});
}

std::int64_t copyTable(store::Connection& file, store::Connection& server,
                       const std::string& table) {
  const auto columns = matchedColumns(file, server, table);
  if (columns.empty()) return 0;
  std::string read_names;
  std::string write_names;
  std::string marks;
  for (const auto& [from, to] : columns) {
    read_names += (read_names.empty() ? "" : ", ") + store::sqlName(from);
    write_names += (write_names.empty() ? "" : ", ") + store::sqlName(to);
    marks += marks.empty() ? "?" : ", ?";
  }
  // Read in slices by the file's row number, so that a file of years takes little memory.
  const std::string slice = "SELECT rowid, " + read_names + " FROM " + store::sqlName(table) +
                            " WHERE rowid > ? ORDER BY rowid LIMIT " +
                            std::to_string(kRowsPerStatement);
  std::int64_t copied = 0;
  std::int64_t last = std::numeric_limits<std::int64_t>::min();
  while (true) {
    const store::Rows rows = file.runNative(slice, store::Row{store::Value(last)});
    if (rows.empty()) break;
    std::string statement = "INSERT INTO " + table + " (" + write_names + ") VALUES ";
    store::Row values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      refuseCutText(table, columns, rows[i]);
      statement += (i == 0 ? "(" : ", (") + marks + ")";
      values.insert(values.end(), rows[i].begin() + 1, rows[i].end());
    }
    server.runNative(statement, values);
    last = rows.back()[0].asInteger();
    copied += static_cast<std::int64_t>(rows.size());
  }
  const std::int64_t on_server =
      server.runNative("SELECT count(*) FROM " + table)[0][0].asInteger();
  const std::int64_t in_file =
      file.runNative("SELECT count(*) FROM " + store::sqlName(table))[0][0].asInteger();
  if (on_server != in_file || copied != in_file) {
    throw std::runtime_error("la tabla " + table + " tiene " + std::to_string(in_file) +
                             " filas en el archivo y " + std::to_string(on_server) +
                             " en el servidor");
  }
  return on_server;
}

}  // namespace

CopiedRows copyToServer(const std::filesystem::path& file, const std::string& uri) {
  store::Connection source = store::Connection::open(file);
  store::Connection server = createTarget(uri);
  CopiedRows copied;
  server.transaction([&] {
    store::createTables(server);
    for (const std::string& table : store::tableNames()) {
      copied.emplace_back(table, copyTable(source, server, table));
    }
    continueKeyCounter(source, server);
    store::createIndexes(server);
  });
  // The server plans the first statements by its statistics of the tables; without them it
  // takes every table for nearly empty until its own maintenance runs.
  server.runNative("ANALYZE");
  return copied;
}

}  // namespace tarvel_db
