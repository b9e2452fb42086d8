#pragma once

#include <filesystem>
#include <memory>
#include <optional>
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
  // Cuts every connection to the database and gives it another name, so that its URI
  // reaches nothing (the server out of reach); "" gives it its own name back.
  void rename(const std::string& other);
  // Gives the database defaults that would break the program's statements were they not
  // pinned: quotes a backslash escapes, reals cut short, other dates, zone and schema.
  void setHostileDefaults() const;

 private:
  std::string admin_uri_;
  std::string name_;
  std::string current_;
  std::string uri_;
};

// The database with the program's tables, as createDatabase makes a file.
store::Connection createServerSchema(const ServerDatabase& database);

// The database of a test's folder: a file with every table, or, when the tests run against
// the server (TARVEL_TEST_ON_SERVER set), a new server database with every table that the
// folder's settings file names. Either way the program in that folder uses it.
class TestDatabase {
 public:
  explicit TestDatabase(const std::filesystem::path& folder);
  store::Connection& connection() { return *connection_; }
  bool onServer() const { return server_ != nullptr; }

 private:
  std::unique_ptr<ServerDatabase> server_;
  std::optional<store::Connection> connection_;
};

// Whether this run of the tests is against the server.
bool testsOnServer();

}  // namespace testing_support
