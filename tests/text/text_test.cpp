#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/collation.h"
#include "text/dates.h"
#include "text/encoding.h"
#include "text/money.h"

namespace {

TEST(SpanishOrder, IgnoresCaseKeepsAccentsBesideTheirLetterAndPutsEnyeAfterN) {
  std::vector<std::string> names{"ñame", "Nopal", "Ávila",  "papas", "avena",
                                 "papá", "Nabo",  "Azúcar", "papa",  "Aceite"};
  std::sort(names.begin(), names.end(), text::lessSpanish);
  EXPECT_EQ(names, (std::vector<std::string>{"Aceite", "avena", "Ávila", "Azúcar", "Nabo", "Nopal",
                                             "ñame", "papa", "papá", "papas"}));
  EXPECT_EQ(text::compareSpanish("FRUTAS", "frutas"), 0);
}

TEST(Dates, DaysAreCountedBackAcrossMonthsAndYears) {
  EXPECT_EQ(text::addDays(text::Date{2006, 3, 1}, -1), (text::Date{2006, 2, 28}));
  EXPECT_EQ(text::addDays(text::Date{2006, 1, 2}, -30), (text::Date{2005, 12, 3}));
}

TEST(Dates, ReadsWhatTheOperatorTypesAndRefusesWhatIsNoDate) {
  EXPECT_EQ(text::dateLabel(*text::parseDayFirst("5/7/06")), "Mie 05/07/2006");
  EXPECT_EQ(text::parseDayFirst("05/07/2006"), (text::Date{2006, 7, 5}));
  EXPECT_EQ(text::parseDayFirst(" 21/7/2006 "), (text::Date{2006, 7, 21}));
  EXPECT_EQ(text::parseDayFirst("1/1/30"), (text::Date{1930, 1, 1}));
  EXPECT_EQ(text::parseDayFirst("31/12/29"), (text::Date{2029, 12, 31}));
  EXPECT_EQ(text::parseDayFirst("29/02/2008"), (text::Date{2008, 2, 29}));
  for (const char* wrong : {"31/02/2006", "29/02/2006", "dd/mm/aaaa", "", "5/7", "5/13/2006",
                            "5/7/206", "0/7/2006", "5//2006", "a5/7/2006", "20-07-0621"}) {
    EXPECT_FALSE(text::parseDayFirst(wrong)) << wrong;
  }
  EXPECT_EQ(text::parseIso("2006-07-05"), (text::Date{2006, 7, 5}));
  EXPECT_FALSE(text::parseIso("2006/07/05"));
}

TEST(Prices, FormatoPrecioGroupsRoundsAndLeavesZeroEmpty) {
  for (const auto& [typed, shown] :
       {std::pair{"", ""}, std::pair{"0", ""}, std::pair{"0.00", ""}, std::pair{"0.004", ""},
        std::pair{"1234.5", "$1,234.50"}, std::pair{"0.5", "$0.50"}, std::pair{"12", "$12.00"},
        std::pair{"1,250.50", "$1,250.50"}, std::pair{"$1,234.50", "$1,234.50"},
        std::pair{"2.345", "$2.35"}, std::pair{"1.005", "$1.01"},
        std::pair{"999999.995", "$1,000,000.00"}, std::pair{"-5", "-$5.00"},
        std::pair{"12.5.1", "12.5.1"}}) {
    EXPECT_EQ(text::FormatoPrecio(typed), shown) << typed;
  }
  EXPECT_EQ(text::FormatoPrecio(12.5), "$12.50");
  EXPECT_EQ(text::FormatoPrecio(0.0), "");
}

TEST(Prices, NumbersAreReadInTheRegionalForm) {
  EXPECT_DOUBLE_EQ(*text::readNumber("$12"), 12);
  EXPECT_DOUBLE_EQ(*text::readNumber(".5"), 0.5);
  EXPECT_FALSE(text::readNumber(""));
}

TEST(Prices, PlainNumberWritesEveryFiniteNumberInFullAndRefusesTheRest) {
  const std::string huge = text::plainNumber(1e300);
  EXPECT_EQ(huge.size(), 301u);
  EXPECT_EQ(huge.front(), '1');
  EXPECT_EQ(huge.find_first_not_of("0123456789"), std::string::npos);
  const std::string largest = text::plainNumber(-std::numeric_limits<double>::max());
  EXPECT_EQ(largest.size(), 310u);
  EXPECT_EQ(largest.substr(0, 18), "-17976931348623157");
  const std::string tiniest = text::plainNumber(std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(tiniest.substr(0, 6), "0.0000");
  EXPECT_EQ(tiniest.back(), '5');
  EXPECT_EQ(text::plainNumber(-0.25), "-0.25");
  EXPECT_THROW(text::plainNumber(std::numeric_limits<double>::quiet_NaN()), std::range_error);
  EXPECT_THROW(text::plainNumber(-std::numeric_limits<double>::infinity()), std::range_error);
}

}  // namespace

// Every character of the basic plane, and some beyond it, comes out as ICU's own converter
// writes it, except that the invisible ones ICU leaves out silently are written as "?" too.
TEST(Windows1252, AgreesWithICUOnEveryCharacter) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("windows-1252", &status);
  ASSERT_TRUE(U_SUCCESS(status));
  ucnv_setSubstChars(converter, "?", 1, &status);
  for (UChar32 point = 1; point < 0x10000 + 600; ++point) {
    if (point >= 0xD800 && point <= 0xDFFF) continue;
    UChar wide[2];
    int32_t units = 0;
    U16_APPEND_UNSAFE(wide, units, point);
    char expected[4];
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter, expected, 4, wide, units, &status);
    std::string utf8;
    char buffer[4];
    int32_t written = 0;
    U8_APPEND_UNSAFE(buffer, written, point);
    utf8.assign(buffer, static_cast<std::size_t>(written));
    const bool ignorable = u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    ASSERT_EQ(
        text::toWindows1252(utf8),
        ignorable && length == 0 ? "?" : std::string(expected, static_cast<std::size_t>(length)))
        << std::hex << point;
  }
  ucnv_close(converter);
  EXPECT_EQ(text::toWindows1252("a\xC3"
                                "b\xED\xA0\x80"),
            "a?b???");  // malformed bytes
}
