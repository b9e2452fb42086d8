#include "command_options.h"

namespace tarvel_db {

std::map<std::string, std::string> options(const std::vector<std::string>& given,
                                           const std::set<std::string>& known,
                                           const std::set<std::string>& flags) {
  std::map<std::string, std::string> read;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const std::string& name = given[i];
    const bool flag = flags.count(name) != 0;
    if ((!flag && (!known.count(name) || i + 1 == given.size())) ||
        !read.emplace(name, flag ? "" : given[i + 1]).second) {
      throw UsageError("opción " + name);
    }
    if (!flag) ++i;
  }
  return read;
}

text::Date dateOption(const std::string& option, const std::string& value) {
  const auto date = text::parseIso(value);
  if (!date)
    throw std::runtime_error(option + " espera una fecha AAAA-MM-DD, no \"" + value + "\"");
  return *date;
}

}  // namespace tarvel_db
