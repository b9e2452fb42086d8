#include <gtest/gtest.h>

#include "generating/generate.h"
#include "session/startup.h"
#include "store/connection.h"
#include "temp_folder.h"

namespace {

constexpr text::Date kToday{2006, 7, 21};

// Every row of Reg_Pre as text, in key order.
std::string contents(const std::filesystem::path& folder) {
  return testing_support::rowsText(store::run(folder, "SELECT * FROM Reg_Pre ORDER BY Consec"));
}

std::filesystem::path generated(const testing_support::TempFolder& folder,
                                const tarvel_db::GeneratedStore& shape) {
  auto db = store::Connection::create(store::databasePath(folder.path()));
  tarvel_db::generateStore(db, shape, kToday);
  return folder.path();
}

TEST(GeneratedStore, HoldsExactlyTheRecordsAskedOverItsDaysAndIsTheSameForASeed) {
  testing_support::TempFolder one, same, other;
  const auto file = generated(one, {.records = 5000, .days = 10, .seed = 3});
  EXPECT_EQ(session::databaseProblem(file), std::nullopt);
  const auto count = [&](const std::string& sql) {
    return store::run(file, sql)[0][0].asInteger();
  };
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre"), 5000);
  EXPECT_EQ(count("SELECT count(DISTINCT Fecha) FROM Reg_Pre"), 10);
  EXPECT_EQ(
      count("SELECT count(*) FROM Reg_Pre WHERE Fecha < '2006-07-11' OR Fecha > '2006-07-20'"), 0);
  EXPECT_EQ(count("SELECT count(DISTINCT Cve_Mod) FROM Reg_Pre"), 8);
  EXPECT_EQ(count("SELECT count(*) FROM Cat_Prod"), 800);
  // Every record names catalogue entries that exist.
  EXPECT_EQ(
      count(
          "SELECT count(*) FROM Reg_Pre LEFT JOIN Cat_Pres ON Reg_Pre.Cve_pres = Cat_Pres.Cve_Pres "
          "WHERE Cat_Pres.Cve_Pres IS NULL"),
      0);
  // A day repeats most of the day before.
  EXPECT_GT(count("SELECT count(*) FROM Reg_Pre a JOIN Reg_Pre b ON a.Cve_Mod = b.Cve_Mod AND "
                  "a.Cve_des = b.Cve_des AND a.Cve_prod = b.Cve_prod AND a.Cve_pres = b.Cve_pres "
                  "AND a.Cve_ori = b.Cve_ori WHERE a.Fecha = '2006-07-20' AND b.Fecha = "
                  "'2006-07-19'"),
            400);

  EXPECT_EQ(contents(generated(same, {.records = 5000, .days = 10, .seed = 3})), contents(file));
  EXPECT_NE(contents(generated(other, {.records = 5000, .days = 10, .seed = 4})), contents(file));
}

}  // namespace
