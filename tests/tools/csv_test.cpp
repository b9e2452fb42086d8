#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "csv.h"
#include "loader.h"
#include "temp_folder.h"

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

TEST(Csv, LoadsCatalogueRowsByTheHeaderIntoANamedTable) {
  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  const auto file = (folder.path() / "origenes.csv").string();
  std::ofstream(file) << "Desc_Ori,Cve_Ori\nValle Alto,3\nCosta,7\n";
  EXPECT_EQ(tarvel_db::loadCsv(db, "Cat_Ori", file), 2u);
  const auto rows = db.runNative("SELECT Cve_Ori, typeof(Cve_Ori) FROM Cat_Ori ORDER BY Cve_Ori");
  EXPECT_EQ(rows[1][0].asInteger(), 7);
  EXPECT_EQ(rows[1][1].asText(), "integer");
  // A refused file is undone as a whole (loader_test.cpp); the table is never one of the
  // statement's words.
  EXPECT_THROW(tarvel_db::loadCsv(db, "Cat_Ori; DROP TABLE Config", file), std::runtime_error);
}

}  // namespace
