#include "temp_folder.h"

#include <unistd.h>
#include <atomic>
#include <fstream>
#include <iterator>

#include "loading/loader.h"
#include "store/schema.h"

namespace testing_support {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("tarvel-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

store::Connection createDatabase(const std::filesystem::path& folder) {
  store::Connection connection = store::Connection::create(store::databasePath(folder));
  store::createSchema(connection);
  return connection;
}

void insert(store::Connection& connection, const std::string& table,
            const std::vector<std::string>& columns,
            const std::vector<tarvel_db::CsvRecord>& rows) {
  tarvel_db::insertRows(connection, table, columns, rows);
}

std::string fileContents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string rowsText(const store::Rows& rows) {
  std::string text;
  for (const store::Row& row : rows) {
    for (const store::Value& value : row) text += value.asText() + "|";
    text += "\n";
  }
  return text;
}

}  // namespace testing_support
