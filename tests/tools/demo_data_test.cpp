#include <gtest/gtest.h>

#include "generating/demo_data.h"
#include "loading/loader.h"
#include "store/error.h"
#include "temp_folder.h"
#include "text/dates.h"

namespace {

constexpr text::Date kToday{2006, 7, 21};

class DemoData : public ::testing::Test {
 protected:
  DemoData() : db_(testing_support::createDatabase(folder_.path())) {
    tarvel_db::writeDemoData(db_, kToday);
  }

  std::int64_t count(const std::string& statement,
                     const std::vector<std::optional<std::string>>& parameters = {}) {
    return db_.runNative(statement, parameters)[0][0].asInteger();
  }

  testing_support::TempFolder folder_;
  store::Connection db_;
};

TEST_F(DemoData, MunicipalityKeyIsUniqueAndRecordsUseTheirDelegationsState) {
  const auto records = count("SELECT count(*) FROM Reg_Pre");
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre LEFT JOIN Cat_Muni ON Reg_Pre.Cve_mun = "
                  "Cat_Muni.Mun"),
            records);
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre JOIN Cat_Deleg ON Reg_Pre.Cve_del = "
                  "Cat_Deleg.Cve_Del LEFT JOIN Cat_Muni ON Reg_Pre.Cve_mun = Cat_Muni.Mun "
                  "WHERE Cat_Muni.edo IS NOT Cat_Deleg.edo"),
            0);
  EXPECT_THROW(testing_support::insert(db_, "Cat_Muni", {"Mun", "Municipio", "edo"},
                                       {{"301", "Otro municipio", "7"}}),
               store::StoreError);
}

// The basket the capture screen builds for delegation 5 at the first destination of each
// module's list, from the most recent earlier capture day.
TEST_F(DemoData, DelegationFiveHasABasketInEveryBasketModule) {
  struct Module {
    const char* code;
    const char* letter;
    const char* destination_column;
    int at_least;
    int at_most;
  };
  const Module modules[] = {{"FRU", "H", "FRU", 20, 200},
                            {"ACE", "A", "ACE", 3, 8},
                            {"GRA", "S", "GRA", 3, 8},
                            {"FLO", "N", "FLO", 3, 8},
                            {"INS", "R", "FRU", 3, 8}};
  for (const Module& module : modules) {
    SCOPED_TRACE(module.code);
    const auto destinations =
        db_.run(std::string("SELECT Cve_Des, Desc_Des from Cat_Dest where Coord='5' and  ") +
                module.destination_column + "='S' order by Desc_Des ");
    ASSERT_FALSE(destinations.empty());
    EXPECT_EQ(destinations[0][1].asText(), "Central de Abasto Valle Alto");
    const std::string destination = destinations[0][0].asText();
    const auto last =
        db_.run(std::string("SELECT top 1 Fecha from Reg_Pre where Cve_Mod='") + module.code +
                "' and Cve_Des=" + destination + " and Fecha<#2006/7/21# order by Fecha desc ");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0][0].asText(), "2006-07-20");

    const std::vector<std::optional<std::string>> day{module.code, destination, "2006-07-20"};
    const auto basket = db_.runNative(
        "SELECT count(*), sum(NOT (Cat_Prod.Cve_Mod = ?4 OR instr(Cat_Prod.Tipo, ?5) > 0)) "
        "FROM Reg_Pre JOIN Cat_Prod ON Reg_Pre.Cve_prod = Cat_Prod.Num_Prod "
        "JOIN Cat_Ori ON Reg_Pre.Cve_ori = Cat_Ori.Cve_Ori "
        "JOIN Cat_Pres ON Reg_Pre.Cve_pres = Cat_Pres.Cve_Pres "
        "WHERE Reg_Pre.Cve_Mod = ?1 AND Reg_Pre.Cve_des = ?2 AND Fecha = ?3",
        {module.code, destination, "2006-07-20", module.code, module.letter});
    const auto size = basket[0][0].asInteger();
    EXPECT_GE(size, module.at_least);
    EXPECT_LE(size, module.at_most);
    EXPECT_EQ(basket[0][1].asInteger(), 0) << "every product is one the module lists";
    EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Cve_Mod = ? AND Cve_des = ? AND "
                    "Fecha = ?",
                    day),
              size)
        << "no record falls out of the catalogue joins";
  }
  for (const char* module : {"AZU", "VOL", "AND"}) {
    EXPECT_GE(count("SELECT count(DISTINCT Fecha) FROM Reg_Pre WHERE Cve_del = 5 AND "
                    "Cve_Mod = ?",
                    {module}),
              2)
        << module;
  }
}

TEST_F(DemoData, PricesAreConsistentAndMoveLittleFromDayToDay) {
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Cve_Mod NOT IN ('VOL', 'AZU') AND "
                  "NOT (0 < Pre_min AND Pre_min < Pre_frec AND Pre_frec < Pre_max)"),
            0);
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Cve_Mod = 'AZU' AND NOT Pre_min > 0"), 0);
  // The reference of the variation warning: the mean of the earlier minimum prices of the
  // same module, destination, product, presentation and origin.
  const auto largest = db_.runNative(
      "SELECT max(abs(r.Pre_min - (SELECT avg(e.Pre_min) FROM Reg_Pre e WHERE "
      "e.Cve_Mod = r.Cve_Mod AND e.Cve_des = r.Cve_des AND e.Cve_prod = r.Cve_prod AND "
      "e.Cve_pres = r.Cve_pres AND e.Cve_ori = r.Cve_ori AND e.Fecha < r.Fecha)) / r.Pre_min) "
      "FROM Reg_Pre r WHERE r.Cve_Mod <> 'VOL' AND r.Fecha = '2006-07-20'");
  EXPECT_LT(largest[0][0].asReal(), 0.1);

  // Module fields: sources of the catalogue in "INS", transport, volume and period in "VOL".
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre LEFT JOIN Cat_Fte ON Reg_Pre.Cve_inf = "
                  "Cat_Fte.Cve_Inf WHERE Cve_Mod = 'INS' AND Cat_Fte.Cve_Inf IS NULL"),
            0);
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre LEFT JOIN Cat_Trans ON Reg_Pre.Cve_tra = "
                  "Cat_Trans.Cve_Tra WHERE Cve_Mod = 'VOL' AND (Cat_Trans.Cve_Tra IS NULL OR "
                  "NOT Vol > 0 OR Fecha_de IS NOT Fecha OR Fecha_a IS NOT Fecha)"),
            0);
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Cve_Mod <> 'VOL' AND (Cve_tra IS NOT "
                  "NULL OR Vol IS NOT NULL)"),
            0);
}

}  // namespace
