#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "store/connection.h"
#include "store/error.h"
#include "store/literal.h"
#include "store/value.h"
#include "temp_folder.h"

namespace {

using store::Value;

TEST(Values, IntegersRoundHalfToEvenFromRealsAndText) {
  EXPECT_EQ(Value(2.5).asInteger(), 2);
  EXPECT_EQ(Value(3.5).asInteger(), 4);
  EXPECT_EQ(Value(-2.5).asInteger(), -2);
  EXPECT_EQ(Value(2.6).asInteger(), 3);
  EXPECT_EQ(Value(std::string("7.5")).asInteger(), 8);
  EXPECT_EQ(Value(std::string("6.5")).asInteger(), 6);
  EXPECT_EQ(Value(std::string("123456789012345678")).asInteger(), 123456789012345678);
  EXPECT_EQ(Value().asInteger(), 0);
  EXPECT_EQ(Value(4.5).asInt32(), 4);
  EXPECT_EQ(Value(std::string("5.5")).asInt32(), 6);
  EXPECT_THROW(Value(std::string("doce")).asInteger(), store::StoreError);
}

TEST(Values, ConversionsRefuseWhatIsOutsideTheirRange) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  EXPECT_EQ(Value(-kTwoTo63).asInteger(), std::numeric_limits<std::int64_t>::min());
  for (double wrong : {kTwoTo63, 1e300, -1e300, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_THROW(Value(wrong).asInteger(), store::StoreError) << wrong;
    EXPECT_THROW(Value(wrong).asInt32(), store::StoreError) << wrong;
  }
  EXPECT_THROW(Value(std::string("99999999999999999999")).asInteger(), store::StoreError);
  EXPECT_THROW(Value(std::numeric_limits<double>::infinity()).asText(), store::StoreError);

  EXPECT_EQ(Value(std::int64_t{2147483647}).asInt32(), 2147483647);
  EXPECT_EQ(Value(std::int64_t{-2147483648}).asInt32(), -2147483647 - 1);
  EXPECT_THROW(Value(std::int64_t{2147483648}).asInt32(), store::StoreError);
  EXPECT_THROW(Value(2147483647.5).asInt32(), store::StoreError);
  try {
    Value(std::int64_t{5000000000}).asInt32();
    ADD_FAILURE();
  } catch (const store::StoreError& error) {
    EXPECT_NE(std::string(error.what()).find("5000000000 no cabe en una lista"), std::string::npos);
  }
}

TEST(Literals, EveryValueIsWrittenSoNoTextCanChangeTheStatement) {
  EXPECT_EQ(store::sqlText("O'Hara"), "'O''Hara'");
  EXPECT_EQ(store::sqlText("''"), "''''''");
  EXPECT_EQ(store::sqlText(""), "''");
  EXPECT_EQ(store::sqlInteger(-12), "-12");
  EXPECT_EQ(store::sqlInteger(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(store::sqlDate(text::Date{2006, 7, 4}), "#2006/7/4#");
  EXPECT_EQ(store::sqlDate(text::Date{2006, 12, 31}), "#2006/12/31#");
  EXPECT_THROW(store::sqlDate(text::Date{2006, 2, 30}), store::StoreError);

  for (const char* key : {"005", "-12", "0", "999999999999999999"}) {
    EXPECT_EQ(store::sqlKey(key), key);
  }
  for (const char* wrong :
       {"", "-", "1000000000000000000", "1 OR 1=1", "12a", " 5", "5 ", "+5", "1.5", "--5"}) {
    EXPECT_THROW(store::sqlKey(wrong), store::StoreError) << wrong;
  }
  for (const char* number : {"12", "12.50", ".5", "5.", "0"}) {
    EXPECT_EQ(store::sqlDecimal(number), number);
  }
  for (const char* wrong : {"", ".", "1.2.3", "-1", "+1", "1e5", " 1", "1,000", "1;"}) {
    EXPECT_THROW(store::sqlDecimal(wrong), store::StoreError) << wrong;
  }
  try {
    store::sqlKey("1 OR 1=1");
    ADD_FAILURE();
  } catch (const store::StoreError& error) {
    EXPECT_NE(std::string(error.what()).find("'1 OR 1=1'"), std::string::npos);
  }

  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  const std::string typed = "x'); DELETE FROM Config; --";
  EXPECT_EQ(db.run("SELECT " + store::sqlText(typed))[0][0].asText(), typed);
}

}  // namespace
