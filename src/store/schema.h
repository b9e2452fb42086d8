#pragma once

#include <string>
#include <vector>

namespace store {

class Connection;

// The program's tables, in the order they are created.
const std::vector<std::string>& tableNames();

// Creates every table and the indexes the program's lookups use, on a new file.
void createSchema(Connection& connection);
// The tables alone, for a loader that indexes after a bulk load.
void createTables(Connection& connection);
// Adds the indexes a file lacks (one made by an earlier version, say); rows are untouched.
void createIndexes(Connection& connection);

}  // namespace store
