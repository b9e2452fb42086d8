#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "text/dates.h"

namespace tarvel_db {

// Which archived records `tarvel-db historico` writes; unset bounds take every one.
struct ArchiveFilter {
  std::optional<text::Date> from;
  std::optional<text::Date> to;
  std::string module;
};

// Writes the archived records of the database `target` (a file, whose archive is
// respaldos/historico.mdb beside it, or a server) that `filter` picks as CSV that
// `tarvel-db load` reads back into Reg_Pre, oldest first. Returns how many were written.
std::size_t writeArchivedRecords(const std::string& target, const ArchiveFilter& filter,
                                 std::ostream& out);

// What `tarvel-db exporta` wrote: the file and how many records it holds.
struct DayExport {
  std::filesystem::path file;
  std::size_t records = 0;
};

// Writes into `folder` the export file of `delegation` (the database's own when empty) for
// `module` on `day`, from the records in the database and in its archive together: the bytes
// the program's export writes, under the same name. With `keyedOnly` the records that name
// no delegation stay out, as a station of a server prepared for several delegations never
// sees them. Throws when the day holds no record.
DayExport writeDayExport(const std::string& target, const text::Date& day,
                         const std::string& module, std::string delegation,
                         const std::filesystem::path& folder, bool keyedOnly = false);

// An output statement of the program without its "or naming no delegation" part.
std::string withoutUnkeyed(std::string statement);

}  // namespace tarvel_db
