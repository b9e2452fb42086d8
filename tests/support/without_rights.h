#pragma once

#include <functional>
#include <string>

namespace testing_support {

// Runs `check` as a user without rights on the test's files and returns what it returns.
// Root may write any file, so as root the check runs in a child process that first gives its
// rights up; "the check did not finish" comes back when that child fails.
std::string withoutRights(const std::function<std::string()>& check);

}  // namespace testing_support
