#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace session {

// Checks, before any screen opens, that the database file in `folder` is there and can be
// read. Returns the message for the operator when it cannot, naming the file's full path
// and the cause; the program then ends without creating anything.
std::optional<std::string> databaseProblem(const std::filesystem::path& folder);

}  // namespace session
