#pragma once

#include <filesystem>

namespace store {

// The program's name among the user's data folders.
inline constexpr const char* kDataFolderName = "tarvel-captura";

// Where the database and everything the program writes live.
struct DataFolder {
  std::filesystem::path path;
  // The program's own folder holds the database (or the settings file naming its server):
  // the copy-and-run layout of an office.
  bool portable = false;
};

// The program's own folder when it holds the database or the settings file, else
// `user_folder`: an installed program keeps its data out of the folder it was installed
// into.
DataFolder chooseDataFolder(const std::filesystem::path& program_folder,
                            const std::filesystem::path& user_folder);

// The user's data folder for the program: $XDG_DATA_HOME/tarvel-captura, or
// ~/.local/share/tarvel-captura when that variable is unset or not an absolute path (the
// rule desktop toolkits follow). Empty when neither variable says where.
std::filesystem::path userDataFolder();

}  // namespace store
