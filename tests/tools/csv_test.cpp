#include <gtest/gtest.h>

#include <sstream>

#include "loading/csv.h"

namespace {

TEST(Csv, QuotesCommasLineBreaksAndEmptyFields) {
  std::istringstream in(
      "\xEF\xBB\xBF"
      "Cve_Ori,Desc_Ori,Abrev\r\n"
      "1,\"Valle, Alto\",VAL\r\n"
      "2,\"Dice \"\"hola\"\"\",\r\n"
      "3,\"dos\nlíneas\",\"\"\n");
  const auto records = tarvel_db::readCsv(in);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(*records[0][0], "Cve_Ori");
  EXPECT_EQ(*records[1][1], "Valle, Alto");
  EXPECT_EQ(*records[2][1], "Dice \"hola\"");
  EXPECT_FALSE(records[2][2]) << "an empty field is null";
  EXPECT_EQ(*records[3][1], "dos\nlíneas");
  EXPECT_EQ(*records[3][2], "") << "a quoted empty field is an empty text";
}

}  // namespace
