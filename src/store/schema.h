#pragma once

namespace store {

class Connection;

// Creates every table and the indexes the program's lookups use, on a new file.
void createSchema(Connection& connection);

}  // namespace store
