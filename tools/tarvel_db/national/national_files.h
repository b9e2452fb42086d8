#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/archive_reading.h"
#include "text/dates.h"

namespace tarvel_db {

// Writes the audit log of the server database `uri` that its role may read, oldest first,
// as CSV: moment, role, station, program, action, record key, delegation, values before and
// after. Returns how many rows were written; throws when none match.
std::size_t writeAuditLog(const std::string& uri, const std::optional<text::Date>& from,
                          const std::optional<text::Date>& to, std::optional<int> delegation,
                          std::ostream& out);

// Every delegation's export file of `module` on `day` (from the records and the archive the
// role reads), each as that delegation's station on the server writes it.
std::vector<DayExport> writeAllExports(const std::string& uri, const text::Date& day,
                                       const std::string& module,
                                       const std::filesystem::path& folder);

// `delegation`'s report of `module` on `day`, as its program writes Reporte.htm.
std::filesystem::path writeDelegationReport(const std::string& target, const text::Date& day,
                                            const std::string& module, int delegation,
                                            const std::filesystem::path& folder);

}  // namespace tarvel_db
