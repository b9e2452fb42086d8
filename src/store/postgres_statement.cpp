#include "store/postgres_statement.h"

#include <charconv>
#include <type_traits>

namespace store {

std::string numberedParameters(std::string_view statement) {
  std::string numbered;
  int next = 0;
  for (std::size_t i = 0; i < statement.size(); ++i) {
    const char c = statement[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = statement.find(c, i + 1);
      const std::size_t stop = end == std::string_view::npos ? statement.size() : end + 1;
      numbered.append(statement.substr(i, stop - i));
      i = stop - 1;
    } else if (statement.substr(i, 2) == "--") {
      const std::size_t end = statement.find('\n', i);
      const std::size_t stop = end == std::string_view::npos ? statement.size() : end;
      numbered.append(statement.substr(i, stop - i));
      i = stop - 1;
    } else if (c == '?') {
      numbered += "$" + std::to_string(++next);
    } else {
      numbered += c;
    }
  }
  return numbered;
}

std::string parameterText(const Value& value) {
  return value.visit([](const auto& v) -> std::string {
    using Kind = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<Kind, std::int64_t>) {
      return std::to_string(v);
    } else if constexpr (std::is_same_v<Kind, double>) {
      char buffer[32];
      const auto written = std::to_chars(buffer, buffer + sizeof buffer, v);
      return std::string(buffer, written.ptr);
    } else if constexpr (std::is_same_v<Kind, std::string>) {
      return v;
    } else {
      return {};
    }
  });
}

}  // namespace store
