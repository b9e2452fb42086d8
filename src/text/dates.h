#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// A calendar date. Arithmetic and weekday come from std::chrono; the forms below are the
// ones the program shows, stores and writes into statements.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  auto operator<=>(const Date&) const = default;
};

bool isValid(const Date& date);
Date addDays(const Date& date, int days);

// 1 for Sunday up to 7 for Saturday.
int dayOfWeek(const Date& date);
// "Dom", "Lun", "Mar", "Mie", "Jue", "Vie", "Sab".
std::string_view dayName(const Date& date);

std::string shortDate(const Date& date);      // 21/07/2006
std::string dateLabel(const Date& date);      // Vie 21/07/2006
std::string yearSlashDate(const Date& date);  // 2006/7/21, no leading zeros
std::string isoDate(const Date& date);        // 2006-07-21, the stored form

// A day-first date as an operator types it: 5/7/06, 05/07/2006, 21/7/2006 ("-" and "."
// separate too). Two-digit years fall into 1930-2029. Empty when the text is no real date.
std::optional<Date> parseDayFirst(std::string_view typed);
// A year-first date as statements write it: 2006/7/5 or 2006/07/05.
std::optional<Date> parseYearFirst(std::string_view text);
// The stored form YYYY-MM-DD.
std::optional<Date> parseIso(std::string_view stored);
// The date inside a date label: the text from its fifth character on.
std::optional<Date> dateOfLabel(std::string_view label);

}  // namespace text
