#pragma once

#include <filesystem>
#include <vector>

#include "text/dates.h"

namespace store {

// The folder beside the database that holds its daily copies.
inline constexpr const char* kBackupFolderName = "respaldos";
// How many daily copies are kept; older ones are removed after a new one is made.
inline constexpr int kKeptBackups = 7;

// respaldos/TARVELcaptura-YYYY-MM-DD.mdb in `folder`, the copy of day `day`.
std::filesystem::path dailyBackupPath(const std::filesystem::path& folder, const text::Date& day);

// Copies the database file `from` into `to` with the engine's online backup (a consistent
// copy even while another program reads the file), checks the copy with
// PRAGMA integrity_check and only then puts it in place, replacing an earlier `to`: `to` is
// always a whole, checked copy or what it was before. Throws StoreError naming what failed.
void backUpDatabase(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes all but the newest `kept` daily copies in `folder`'s backup folder and returns the
// copies removed. Other files there are left alone.
std::vector<std::filesystem::path> removeOldBackups(const std::filesystem::path& folder,
                                                    int kept = kKeptBackups);

}  // namespace store
