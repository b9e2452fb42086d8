#pragma once

#include <string>

#include "store/connection.h"

namespace testing_support {

// A new, empty database on the tests' throwaway server (started by ctest, its folder in
// TARVEL_TEST_SERVER), dropped again when the object goes.
class ServerDatabase {
 public:
  ServerDatabase();
  ~ServerDatabase();
  ServerDatabase(const ServerDatabase&) = delete;
  ServerDatabase& operator=(const ServerDatabase&) = delete;

  const std::string& uri() const { return uri_; }
  store::Connection connect() const { return store::Connection::connect(uri_); }
  // Gives the database another name, so that its URI reaches nothing (the server out of
  // reach); "" gives it its own name back.
  void rename(const std::string& other);

 private:
  std::string admin_uri_;
  std::string name_;
  std::string current_;
  std::string uri_;
};

// The database with the program's tables, as createDatabase makes a file.
store::Connection createServerSchema(const ServerDatabase& database);

}  // namespace testing_support
