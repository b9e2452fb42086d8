#include "server_database.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "store/schema.h"
#include "store/server_settings.h"
#include "temp_folder.h"

namespace testing_support {
namespace {

std::string serverFolder() {
  const char* folder = std::getenv("TARVEL_TEST_SERVER");
  if (!folder || !*folder) {
    throw std::runtime_error(
        "TARVEL_TEST_SERVER no dice dónde está el servidor de pruebas; ctest lo inicia");
  }
  return folder;
}

std::string uriOf(const std::string& folder, const std::string& database) {
  return "postgresql:///" + database + "?host=" + folder + "&user=postgres";
}

}  // namespace

ServerDatabase::ServerDatabase() {
  static std::atomic<int> counter{0};
  const std::string folder = serverFolder();
  admin_uri_ = uriOf(folder, "postgres");
  name_ = "t_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  uri_ = uriOf(folder, name_);
  store::Connection admin = store::Connection::connect(admin_uri_);
  admin.runNative("DROP DATABASE IF EXISTS " + name_);
  admin.runNative("CREATE DATABASE " + name_ + " TEMPLATE template0 ENCODING 'UTF8'");
  current_ = name_;
}

void ServerDatabase::rename(const std::string& other) {
  const std::string wanted = other.empty() ? name_ : name_ + "_" + other;
  store::Connection admin = store::Connection::connect(admin_uri_);
  // The stations' kept connections are cut, as by a server gone from the network.
  admin.runNative("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ?",
                  std::vector<std::optional<std::string>>{current_});
  admin.runNative("ALTER DATABASE " + current_ + " RENAME TO " + wanted);
  current_ = wanted;
}

void ServerDatabase::setHostileDefaults() const {
  store::Connection admin = store::Connection::connect(admin_uri_);
  for (const char* setting :
       {"standard_conforming_strings = off", "extra_float_digits = 0", "DateStyle = 'SQL, DMY'",
        "TimeZone = 'Pacific/Chatham'", "search_path = nadie", "IntervalStyle = iso_8601"}) {
    admin.runNative("ALTER DATABASE " + current_ + " SET " + setting);
  }
}

ServerDatabase::~ServerDatabase() {
  try {
    store::Connection::connect(admin_uri_)
        .runNative("DROP DATABASE IF EXISTS " + current_ + " WITH (FORCE)");
  } catch (...) {
  }
}

bool testsOnServer() {
  const char* on_server = std::getenv("TARVEL_TEST_ON_SERVER");
  return on_server && *on_server;
}

TestDatabase::TestDatabase(const std::filesystem::path& folder) {
  if (!testsOnServer()) {
    connection_.emplace(createDatabase(folder));
    return;
  }
  server_ = std::make_unique<ServerDatabase>();
  connection_.emplace(createServerSchema(*server_));
  std::ofstream(folder / store::kSettingsFileName) << "servidor = " << server_->uri() << "\n";
}

store::Connection createServerSchema(const ServerDatabase& database) {
  store::Connection connection = database.connect();
  store::createSchema(connection);
  return connection;
}

}  // namespace testing_support
