#include "store/data_folder.h"

#include <cstdlib>
#include <system_error>

#include "store/connection.h"
#include "store/server_settings.h"

namespace store {

DataFolder chooseDataFolder(const std::filesystem::path& program_folder,
                            const std::filesystem::path& user_folder) {
  std::error_code error;
  if (std::filesystem::is_regular_file(databasePath(program_folder), error) ||
      hasSettings(program_folder)) {
    return DataFolder{program_folder, true};
  }
  return DataFolder{user_folder, false};
}

std::filesystem::path userDataFolder() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home && std::filesystem::path(data_home).is_absolute()) {
    return std::filesystem::path(data_home) / kDataFolderName;
  }
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::filesystem::path(home) / ".local" / "share" / kDataFolderName;
}

}  // namespace store
