#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "loading/csv.h"
#include "store/connection.h"

namespace testing_support {

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Creates TARVELcaptura.mdb with every table in `folder` and returns a connection to it.
store::Connection createDatabase(const std::filesystem::path& folder);

void insert(store::Connection& connection, const std::string& table,
            const std::vector<std::string>& columns, const std::vector<tarvel_db::CsvRecord>& rows);

// A file's bytes as they are; "" when there is no such file.
std::string fileContents(const std::filesystem::path& file);

// Rows as text, for comparing whole tables: each field followed by "|", each row by a line
// end.
std::string rowsText(const store::Rows& rows);

}  // namespace testing_support
