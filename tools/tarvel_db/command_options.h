#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/dates.h"

namespace tarvel_db {

// Options a command does not take: the usage is shown.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The options after the database: each --name with its value, only those in `known`; a
// flag in `flags` stands alone and reads as "".
std::map<std::string, std::string> options(const std::vector<std::string>& given,
                                           const std::set<std::string>& known,
                                           const std::set<std::string>& flags = {});

text::Date dateOption(const std::string& option, const std::string& value);

}  // namespace tarvel_db
