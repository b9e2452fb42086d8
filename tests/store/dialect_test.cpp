#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/connection.h"
#include "store/error.h"
#include "store/jet_dialect.h"
#include "temp_folder.h"

namespace {

using testing_support::insert;

class Dialect : public ::testing::Test {
 protected:
  void SetUp() override {
    insert(db, "Cat_Prod", {"Num_Prod", "Cve_Prod", "Desc_Prod", "Calidad", "Cve_Mod", "Tipo"},
           {{"1", "ACS", "Aceite Comestible", "Botella", "ACE", "A"},
            {"2", "ACX", "Aceite Comestible", "Granel", "ACE", "A"},
            {"3", "HPA", "Papa", "Primera", "FRU", "hB"},
            {"4", "FMA", "Mango", "Primera", "FRU", "F"}});
    insert(db, "Cat_Var_Ace", {"Variedad", "Descripcion"}, {{"S", "Soya"}});
    insert(db, "Reg_Pre", {"Cve_Mod", "Fecha", "Cve_prod", "Cve_des", "Pre_min"},
           {{"FRU", "2006-07-05", "3", "10", "10"},
            {"FRU", "2006-06-30", "3", "10", "11"},
            {"FRU", "2006-07-19", "3", "10", "12"},
            {"FRU", "2006-07-21", "3", "10", "13"},
            {"ACE", "2006-07-19", "1", "10", "20"},
            {"ACE", "2006-07-19", "2", "10", "21"}});
  }

  std::vector<std::string> column(const std::string& statement, std::size_t field = 0) {
    std::vector<std::string> values;
    for (const auto& row : db.run(statement)) values.push_back(row[field].asText());
    return values;
  }

  testing_support::TempFolder folder;
  store::Connection db = testing_support::createDatabase(folder.path());
};

TEST_F(Dialect, DateLiteralsWithOneDigitMonthsAndDaysMatchStoredDates) {
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Fecha=#2006/7/5# "),
            (std::vector<std::string>{"10"}));
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Fecha=#2006/07/05# "),
            (std::vector<std::string>{"10"}));
  EXPECT_EQ(db.run("SELECT Fecha from Reg_Pre where Pre_min=10")[0][0].asDate(),
            (text::Date{2006, 7, 5}));
  EXPECT_THROW(db.run("SELECT * from Reg_Pre where Fecha=#5/7/2006#"), store::StoreError);
  EXPECT_THROW(db.run("SELECT * from Reg_Pre where Fecha=#2006/2/30#"), store::StoreError);
  // The purge statement with its double-quoted module code.
  db.run(
      "DELETE FROM Reg_Pre WHERE ((Reg_Pre.Cve_Mod=\"FRU\") and ((Reg_Pre.Fecha)<=#2006/7/5#));");
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Cve_Mod='FRU' order by Pre_min"),
            (std::vector<std::string>{"12", "13"}));
}

TEST_F(Dialect, TopTakesTheMostRecentEarlierDates) {
  EXPECT_EQ(column("SELECT top 1 Fecha from Reg_Pre  where Cve_Mod='FRU'  and Cve_Des=10  and "
                   "Fecha<#2006/7/21#  order by Fecha desc "),
            (std::vector<std::string>{"2006-07-19"}));
  EXPECT_EQ(column("SELECT top 5 Pre_min, Fecha from Reg_Pre  where Cve_Mod='FRU' and "
                   "Fecha<#2006/7/21#  order by Fecha desc "),
            (std::vector<std::string>{"12", "10", "11"}));
}

TEST_F(Dialect, NestedJoinsKeepRowsWhoseLeftJoinFindsNothing) {
  const auto rows = db.run(
      "SELECT Cat_Prod.Cve_Prod, Cat_Var_Ace.Descripcion from ((Reg_Pre  INNER JOIN Cat_Prod ON "
      "Reg_Pre.Cve_prod = Cat_Prod.Num_Prod)  left join Cat_Var_Ace ON "
      "mid(Cat_Prod.Cve_Prod,3,1) = Cat_Var_Ace.Variedad)  where Reg_Pre.Cve_Mod='ACE'  ORDER "
      "BY  Cat_Prod.Cve_Prod, Reg_Pre.Consec ;");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1].asText(), "Soya");
  EXPECT_TRUE(rows[1][1].isNull());
}

TEST_F(Dialect, StringFunctionsOfTheDialect) {
  // InStr ignores case like the original engine; mid and left count from 1.
  EXPECT_EQ(column("SELECT Num_Prod from Cat_Prod where InStr(Tipo,'H')>0"),
            (std::vector<std::string>{"3"}));
  EXPECT_EQ(column("SELECT Num_Prod from Cat_Prod where mid(Tipo,2,1)='B'"),
            (std::vector<std::string>{"3"}));
  EXPECT_EQ(column("SELECT left(Cat_Prod.Tipo,1) from Cat_Prod where Num_Prod=4"),
            (std::vector<std::string>{"F"}));
  EXPECT_EQ(column("SELECT InStr('Añil','il'), lcase('ÁÑO Mixto')", 0),
            (std::vector<std::string>{"3"}));
  EXPECT_EQ(column("SELECT lcase('ÁÑO Mixto')"), (std::vector<std::string>{"áño mixto"}));
  // Literals are never rewritten inside, whichever quotes they use.
  EXPECT_EQ(column("SELECT 'top 5 #x# left(a,1) \"q\"'"),
            (std::vector<std::string>{"top 5 #x# left(a,1) \"q\""}));
  EXPECT_EQ(column("SELECT \"it's\""), (std::vector<std::string>{"it's"}));
}

TEST_F(Dialect, OrderByUsesSpanishOrderOfNames) {
  insert(db, "Cat_Ori", {"Cve_Ori", "Desc_Ori"},
         {{"1", "Ñuble"}, {"2", "nopal"}, {"3", "Ávila"}, {"4", "azul"}, {"5", "Abasolo"}});
  EXPECT_EQ(column("SELECT Cve_Ori, Desc_Ori from Cat_Ori order by Desc_Ori", 1),
            (std::vector<std::string>{"Abasolo", "Ávila", "azul", "nopal", "Ñuble"}));
  EXPECT_EQ(column("SELECT Desc_Ori from Cat_Ori order by Desc_Ori desc, Cve_Ori"),
            (std::vector<std::string>{"Ñuble", "nopal", "azul", "Ávila", "Abasolo"}));
  // Numbers keep their numeric order under the collation.
  insert(db, "Cat_Ori", {"Cve_Ori", "Desc_Ori"}, {{"10", "Diez"}});
  EXPECT_EQ(column("SELECT Cve_Ori from Cat_Ori order by Cve_Ori ").back(), "10");
}

TEST_F(Dialect, ASecondStatementIsRefusedBeforeAnythingRuns) {
  EXPECT_THROW(db.run("SELECT 1; DELETE FROM Reg_Pre"), store::StoreError);
  EXPECT_THROW(db.run("DELETE FROM Reg_Pre WHERE Cve_Mod='X'; DROP TABLE Reg_Pre"),
               store::StoreError);
  EXPECT_EQ(db.run("SELECT count(*) from Reg_Pre;  ")[0][0].asInteger(), 6);
  try {
    db.run("SELECT nothing from Reg_Pre");
    FAIL();
  } catch (const store::StoreError& error) {
    EXPECT_EQ(error.statement(), "SELECT nothing from Reg_Pre");
    EXPECT_NE(error.engineMessage().find("nothing"), std::string::npos);
  }
}

}  // namespace
