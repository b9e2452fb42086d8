#include "capture/period_dates.h"

#include <regex>

namespace capture {
namespace {

struct DateParts {
  std::string year;
  std::string month;
  std::string day;
};

std::string piece(std::string_view s, std::size_t start, std::size_t length) {
  return start < s.size() ? std::string(s.substr(start, length)) : "";
}

std::string lastOf(const std::string& s, std::size_t count) {
  return s.size() <= count ? s : s.substr(s.size() - count);
}

// Drops any "/", puts a "0" in front and keeps the last two characters: 7 gives 07.
std::string twoDigits(std::string s) {
  std::erase(s, '/');
  return lastOf("0" + s, 2);
}

DateParts parse(std::string_view date) {
  const std::string s(date);
  if (s.find('/') == 4) {
    return {piece(s, 0, 4), twoDigits(piece(s, 5, 2)), twoDigits(lastOf(s, 2))};
  }
  const std::string padded = s.size() > 1 && s[1] == '/' ? "0" + s : s;
  return {lastOf(s, 4), twoDigits(piece(padded, 3, 2)), twoDigits(piece(padded, 0, 2))};
}

}  // namespace

std::string FormatoDMA(std::string_view date) {
  const DateParts parts = parse(date);
  return parts.day + "/" + parts.month + "/" + parts.year;
}

std::string FormatoAMD(std::string_view date) {
  const DateParts parts = parse(date);
  return parts.year + "/" + parts.month + "/" + parts.day;
}

std::optional<text::Date> periodDate(std::string_view year_first) {
  static const std::regex kForm(R"(^(\d{4})/(\d{2})/(\d{2})$)");
  const std::string s(year_first);
  std::smatch parts;
  if (!std::regex_match(s, parts, kForm)) return std::nullopt;
  const text::Date date{std::stoi(parts[1]), std::stoi(parts[2]), std::stoi(parts[3])};
  if (!text::isValid(date)) return std::nullopt;
  return date;
}

}  // namespace capture
