#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "text/dates.h"

namespace store {

// The folder beside the database that holds the copies made before each purge.
inline constexpr const char* kBackupFolderName = "respaldos";
// How many whole copies are kept: older ones go once the archive holds their purged records.
inline constexpr int kKeptBackups = 7;

// respaldos/TARVELcaptura-YYYY-MM-DD-HHMMSS.mdb in `folder`: the copy made at that moment,
// with "-2", "-3", … added when a copy of that second already exists.
std::filesystem::path purgeBackupPath(const std::filesystem::path& folder, const text::Date& day,
                                      int hour, int minute, int second);

// Copies the database file `from` into `to` with the engine's online backup (a consistent
// copy even while another program reads the file), checks the copy's structure and only
// then puts it in place: `to` is always a whole, checked copy or absent. Throws StoreError
// naming what failed.
void backUpDatabase(const std::filesystem::path& from, const std::filesystem::path& to);

// The records a purge on `day` deletes, as a condition on Reg_Pre's columns.
using PurgeCondition = std::function<std::string(const text::Date& day)>;

// Removes copies beyond the newest `kept` once the archive of purged records holds every
// record their purge deleted (those `purged` names for the day of the copy), adding the ones
// it lacks from the copy; a copy whose records cannot be archived, or that cannot be read,
// is never removed. Returns the copies removed. Other files in the folder are left alone.
std::vector<std::filesystem::path> removeOldBackups(const std::filesystem::path& folder,
                                                    const PurgeCondition& purged,
                                                    int kept = kKeptBackups);

}  // namespace store
