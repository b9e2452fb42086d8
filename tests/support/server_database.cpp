#include "server_database.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "store/schema.h"

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
  store::Connection::connect(admin_uri_)
      .runNative("ALTER DATABASE " + current_ + " RENAME TO " + wanted);
  current_ = wanted;
}

ServerDatabase::~ServerDatabase() {
  try {
    store::Connection::connect(admin_uri_)
        .runNative("DROP DATABASE IF EXISTS " + current_ + " WITH (FORCE)");
  } catch (...) {
  }
}

store::Connection createServerSchema(const ServerDatabase& database) {
  store::Connection connection = database.connect();
  store::createSchema(connection);
  return connection;
}

}  // namespace testing_support
