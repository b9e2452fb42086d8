#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

// A statement the program ran, as SQLite text with its bound values.
struct Recorded {
  std::string statement;
  store::Row values;
};

// The same statements run on SQLite alone: one connection kept open with the program's
// settings, pragmas and registered dialect functions, each distinct statement prepared once.
class SqliteAlone {
 public:
  explicit SqliteAlone(const std::filesystem::path& file);
  ~SqliteAlone();
  // Opens the file again in place of the connection open, as a start does.
  void reopen();
  SqliteAlone(const SqliteAlone&) = delete;
  SqliteAlone& operator=(const SqliteAlone&) = delete;

  // Runs each statement to its last row, reading every column.
  void run(const std::vector<Recorded>& statements);

 private:
  sqlite3_stmt* prepared(const std::string& statement);
  void open();
  void close();

  std::filesystem::path file_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace bench
