#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace session {

// Checks, before any screen opens, that the database file in `folder` is there, holds every
// table and column the program reads and can be written, and adds the indexes the
// program's lookups need when the file lacks them. Returns the message for the operator
// when the file cannot be used, naming its full path and the cause; the program then ends
// without creating anything. A missing file in a folder that is not the program's own (the
// user's data folder of an installed program) is told with the command that creates it.
std::optional<std::string> databaseProblem(const std::filesystem::path& folder,
                                           bool programFolder = true);

}  // namespace session
