// A catalogue or capture file as tarvel-db loads it: any bytes either load or are refused
// with the line and the cause, and a refused file leaves its table as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "loading/loader.h"
#include "store/connection.h"
#include "store/schema.h"

namespace {

store::Connection& database() {
  static store::Connection connection = [] {
    store::Connection made = store::Connection::create(":memory:");
    store::createSchema(made);
    return made;
  }();
  return connection;
}

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tarvel-fuzz-" + std::to_string(getpid()) + ".csv");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the table, the rest is the file.
  static const char* const kTables[] = {"Cat_Ori", "Cat_Dest", "Cat_Prod", "Reg_Pre", "Config"};
  if (size == 0) return 0;
  const std::string table = kTables[data[0] % 5];
  {
    std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  store::Connection& db = database();
  const auto count = [&] { return db.run("SELECT count(*) FROM " + table)[0][0].asInteger(); };
  const auto before = count();
  try {
    tarvel_db::loadCsv(db, table, scratchFile().string());
  } catch (const std::exception&) {
    if (count() != before) std::abort();  // a refused file loaded something
  }
  db.run("DELETE FROM " + table);
  return 0;
}
