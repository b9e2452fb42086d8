#include "text/dates.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <vector>

namespace text {
namespace {

std::chrono::year_month_day toChrono(const Date& date) {
  return std::chrono::year_month_day{std::chrono::year{date.year},
                                     std::chrono::month{static_cast<unsigned>(date.month)},
                                     std::chrono::day{static_cast<unsigned>(date.day)}};
}

Date fromChrono(const std::chrono::year_month_day& ymd) {
  return Date{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
              static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Digits only, 1 to max_digits of them.
std::optional<int> readNumber(std::string_view part, std::size_t max_digits) {
  if (part.empty() || part.size() > max_digits) return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
  if (error != std::errc{} || end != part.data() + part.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> split(std::string_view s, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || separators.find(s[i]) != std::string_view::npos) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::optional<Date> checked(Date date) {
  if (!isValid(date)) return std::nullopt;
  return date;
}

// Four-digit year, month and day of one or two digits, between `separator`s.
std::optional<Date> yearMonthDay(std::string_view text, std::string_view separator) {
  const auto parts = split(text, separator);
  if (parts.size() != 3 || parts[0].size() != 4) return std::nullopt;
  const auto year = readNumber(parts[0], 4);
  const auto month = readNumber(parts[1], 2);
  const auto day = readNumber(parts[2], 2);
  if (!year || !month || !day) return std::nullopt;
  return checked(Date{*year, *month, *day});
}

}  // namespace

bool isValid(const Date& date) {
  return date.year >= 1 && date.year <= 9999 && toChrono(date).ok();
}

Date addDays(const Date& date, int days) {
  return fromChrono(std::chrono::sys_days{toChrono(date)} + std::chrono::days{days});
}

int dayOfWeek(const Date& date) {
  return static_cast<int>(
             std::chrono::weekday{std::chrono::sys_days{toChrono(date)}}.c_encoding()) +
         1;
}

std::string_view dayName(const Date& date) {
  static constexpr std::array<std::string_view, 7> kNames{"Dom", "Lun", "Mar", "Mie",
                                                          "Jue", "Vie", "Sab"};
  return kNames[static_cast<std::size_t>(dayOfWeek(date) - 1)];
}

std::string shortDate(const Date& date) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", date.day, date.month, date.year);
  return buffer;
}

std::string dateLabel(const Date& date) {
  return std::string(dayName(date)) + " " + shortDate(date);
}

std::string yearSlashDate(const Date& date) {
  return std::to_string(date.year) + "/" + std::to_string(date.month) + "/" +
         std::to_string(date.day);
}

std::string isoDate(const Date& date) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

std::optional<Date> parseDayFirst(std::string_view typed) {
  const auto parts = split(trim(typed), "/-.");
  if (parts.size() != 3) return std::nullopt;
  const auto day = readNumber(parts[0], 2);
  const auto month = readNumber(parts[1], 2);
  if (!day || !month || (parts[2].size() != 2 && parts[2].size() != 4)) return std::nullopt;
  auto year = readNumber(parts[2], 4);
  if (!year) return std::nullopt;
  if (parts[2].size() == 2) *year += *year < 30 ? 2000 : 1900;
  // Statements and stored dates write the year in four digits; "0621" has no such form.
  if (*year < 1000) return std::nullopt;
  return checked(Date{*year, *month, *day});
}

std::optional<Date> parseYearFirst(std::string_view text) {
  return yearMonthDay(text, "/");
}

std::optional<Date> parseIso(std::string_view stored) {
  return yearMonthDay(trim(stored), "-");
}

std::optional<Date> dateOfLabel(std::string_view label) {
  if (label.size() < 5) return std::nullopt;
  return parseDayFirst(label.substr(4));
}

}  // namespace text
