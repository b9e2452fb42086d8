// An Access file as tarvel-db reads it: any bytes are read whole or refused with a message
// naming the file. libmdb reads them in a child process, where a crash or a loop of its own
// is a refusal; what is fuzzed here is the program's side of that reading.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "access/access_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tarvel-fuzz-" + std::to_string(getpid()) + ".mdb");
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    const tarvel_db::AccessFile access(file);
    for (const tarvel_db::AccessTable& table : access.tables()) {
      access.readRows(table.name, [&](const tarvel_db::AccessRow& row) {
        if (row.size() != table.columns.size()) std::abort();
      });
    }
  } catch (const tarvel_db::AccessError& refused) {
    if (std::string(refused.what()).find(file.string()) == std::string::npos) std::abort();
  }
  return 0;
}
