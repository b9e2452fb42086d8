#pragma once

#include <ostream>
#include <string>

#include "access/access_file.h"
#include "access/access_import.h"

namespace tarvel_db {

// What `tarvel-db access FILE` prints: the file's format, each table with its columns (by
// their Access types) and its number of rows, then which tables and columns of the program's
// database it has, lacks and has besides, names compared without regard to case.
void listAccessFile(const std::string& shownName, const AccessFile& file, std::ostream& out);

// What `tarvel-db access FILE TABLE` prints: the table (named without regard to case) as CSV
// in the form `tarvel-db load` reads, a header of column names first. Throws AccessError
// when the file has no such table.
void writeAccessTable(const std::string& shownName, const AccessSource& source,
                      const std::string& table, std::ostream& out);

// What `tarvel-db import` prints: a line per table imported (rows read, rows written), the
// file's tables left out and the program's tables the file lacks.
void printImport(const std::string& shownFile, const std::string& shownTarget,
                 const ImportReport& report, std::ostream& out);

}  // namespace tarvel_db
