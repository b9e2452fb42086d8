#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "store/connection.h"
#include "store/server_settings.h"

namespace store {

// One station's database. It is chosen at the first use: the server the folder's settings
// file names, or the file in the folder; settings that vanish, change or appear later are
// told, and nothing is written anywhere else. One connection is kept open across events and
// opened again, transparently, when the server dropped it or the file was replaced (a backup
// brought back, say).
class Database {
 public:
  explicit Database(std::filesystem::path folder) : folder_(std::move(folder)) {}
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // The kept connection, ready for a statement.
  Connection& connection();
  Rows run(std::string_view jet_statement) { return connection().run(jet_statement); }

 private:
  void checkSettings();
  bool fileReplaced() const;

  std::filesystem::path folder_;
  bool chosen_ = false;
  std::optional<ServerSettings> server_;
  std::optional<Connection> kept_;
  // The operator event in which the settings were read last.
  std::uint64_t settings_read_in_ = 0;
  // The file the kept connection has open, by device and inode.
  std::pair<unsigned long, unsigned long> file_identity_{0, 0};
};

}  // namespace store
