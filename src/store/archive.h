#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "store/schema.h"

namespace store {

class Connection;

// Every record a purge deleted is kept in the archive of purged records: on a file in
// respaldos/historico.mdb, on a server in a table beside Reg_Pre. It holds Reg_Pre's
// columns, the record key as it was, and when the purge moved the record.
inline constexpr const char* kArchiveFileName = "historico.mdb";
inline constexpr const char* kArchiveTableName = "Historico";
inline constexpr const char* kArchiveMomentColumn = "Purgado";
const TableSpec& archiveTable();
// The archive of a file database in `folder`.
std::filesystem::path archivePath(const std::filesystem::path& folder);

// The archive's table in a server database, made when missing (a preparation for several
// delegations makes it, as their roles cannot).
void createArchiveTable(Connection& server);

// Moves the records that `condition` (on Reg_Pre's columns) names into the archive, checks
// that the archive holds each of them equal column by column, then runs `deleteRecords`;
// all of it in one transaction of `connection` (on a file the archive takes part through
// the database of `folder`'s archive, attached). A record archived before is replaced by
// its present form, so none is archived twice. Throws StoreError naming what failed, and
// then nothing is archived or deleted. Returns how many records moved.
std::int64_t archiveAndPurge(Connection& connection, const std::filesystem::path& folder,
                             const std::string& condition, const std::string& moment,
                             const std::function<void()>& deleteRecords);

// Adds to the archive in `folder` the records of the whole copy `copy` that `condition`
// names and the archive lacks, and says whether the archive then holds every one of them.
// False, without a change, when the copy or the archive cannot be read or written.
bool archiveRecordsOfCopy(const std::filesystem::path& folder, const std::filesystem::path& copy,
                          const std::string& condition, const std::string& moment);

}  // namespace store
