#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/connection.h"
#include "store/error.h"
#include "store/jet_dialect.h"
#include "temp_folder.h"

namespace {

using testing_support::insert;
using Texts = std::vector<std::string>;

class Dialect : public ::testing::Test {
 protected:
  void SetUp() override {
    insert(db, "Cat_Prod", {"Num_Prod", "Cve_Prod", "Desc_Prod", "Calidad", "Cve_Mod", "Tipo"},
           {{"1", "ACS", "Aceite Comestible", "Botella", "ACE", "A"},
            {"2", "ACX", "Aceite Comestible", "Granel", "ACE", "A"},
            {"3", "HPA", "Papa", "Primera", "FRU", "hB"},
            {"4", "FMA", "Mango", "Primera", "FRU", "F"}});
    insert(db, "Reg_Pre", {"Cve_Mod", "Fecha", "Cve_prod", "Cve_des", "Pre_min"},
           {{"FRU", "2006-07-05", "3", "10", "10"},
            {"FRU", "2006-06-30", "3", "10", "11"},
            {"FRU", "2006-07-19", "3", "10", "12"},
            {"FRU", "2006-07-21", "3", "10", "13"}});
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
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Fecha=#2006/7/5# "), Texts{"10"});
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Fecha=#2006/07/05# "), Texts{"10"});
  EXPECT_EQ(db.run("SELECT Fecha from Reg_Pre where Pre_min=10")[0][0].asDate(),
            (text::Date{2006, 7, 5}));
  EXPECT_THROW(db.run("SELECT * from Reg_Pre where Fecha=#5/7/2006#"), store::StoreError);
  EXPECT_THROW(db.run("SELECT * from Reg_Pre where Fecha=#2006/2/30#"), store::StoreError);
  // The purge statement with its double-quoted module code.
  db.run(
      "DELETE FROM Reg_Pre WHERE ((Reg_Pre.Cve_Mod=\"FRU\") and ((Reg_Pre.Fecha)<=#2006/7/5#));");
  EXPECT_EQ(column("SELECT Pre_min from Reg_Pre where Cve_Mod='FRU' order by Pre_min"),
            (Texts{"12", "13"}));
}

TEST_F(Dialect, StringFunctionsOfTheDialect) {
  // InStr ignores case, as the statements' dialect compares text; mid and left count from 1.
  EXPECT_EQ(column("SELECT Num_Prod from Cat_Prod where InStr(Tipo,'H')>0"), Texts{"3"});
  EXPECT_EQ(column("SELECT Num_Prod from Cat_Prod where mid(Tipo,2,1)='B'"), Texts{"3"});
  EXPECT_EQ(column("SELECT left(Cat_Prod.Tipo,1) from Cat_Prod where Num_Prod=4"), Texts{"F"});
  EXPECT_EQ(column("SELECT InStr('Añil','il'), lcase('ÁÑO Mixto')", 0), Texts{"3"});
  EXPECT_EQ(column("SELECT lcase('ÁÑO Mixto')"), Texts{"áño mixto"});
  // Literals are never rewritten inside, whichever quotes they use.
  EXPECT_EQ(column("SELECT 'top 5 #x# left(a,1) \"q\"'"), (Texts{"top 5 #x# left(a,1) \"q\""}));
  EXPECT_EQ(column("SELECT \"it's\""), Texts{"it's"});
}

TEST_F(Dialect, OrderByUsesSpanishOrderOfNames) {
  insert(db, "Cat_Ori", {"Cve_Ori", "Desc_Ori"},
         {{"1", "Ñuble"}, {"2", "nopal"}, {"3", "Ávila"}, {"4", "azul"}, {"5", "Abasolo"}});
  EXPECT_EQ(column("SELECT Cve_Ori, Desc_Ori from Cat_Ori order by Desc_Ori", 1),
            (Texts{"Abasolo", "Ávila", "azul", "nopal", "Ñuble"}));
  EXPECT_EQ(column("SELECT Desc_Ori from Cat_Ori order by Desc_Ori desc, Cve_Ori"),
            (Texts{"Ñuble", "nopal", "azul", "Ávila", "Abasolo"}));
  // Numbers keep their numeric order under the collation.
  insert(db, "Cat_Ori", {"Cve_Ori", "Desc_Ori"}, {{"10", "Diez"}});
  EXPECT_EQ(column("SELECT Cve_Ori from Cat_Ori order by Cve_Ori ").back(), "10");
}

TEST_F(Dialect, ATrailingCommentCannotTakeInTheLimit) {
  for (const char* after : {" -- los más bajos", " /* a */ -- b\n ;"}) {
    EXPECT_EQ(column(std::string("SELECT top 2 Pre_min from Reg_Pre order by Pre_min") + after),
              (Texts{"10", "11"}))
        << after;
  }
  // Comments and literals are never rewritten inside.
  EXPECT_EQ(column("SELECT '--' /* #x# top 1 */ from Reg_Pre -- left(a,1) #y#"), Texts(4, "--"));
  EXPECT_THROW(store::translateJet("SELECT x from T /* sin cerrar"), store::StoreError);
}

// Lower-case "b" sorts before "F" only in the Spanish order, term by term.
TEST_F(Dialect, OrderByTermsKeepTheirParentheses) {
  insert(db, "Cat_Prod", {"Num_Prod", "Cve_Prod", "Desc_Prod", "Tipo"},
         {{"5", "BET", "Betabel", "b"}});
  EXPECT_EQ(column("SELECT Num_Prod from Cat_Prod ORDER BY left(Cat_Prod.Tipo,1), "
                   "Cat_Prod.Desc_Prod desc, Num_Prod"),
            (Texts{"1", "2", "5", "4", "3"}));
}

TEST_F(Dialect, TopIsALimitOnlyOfTheStatementsOwnSelect) {
  for (const char* refused :
       {"SELECT Fecha from Reg_Pre where Pre_min in (SELECT top 1 Pre_min from Reg_Pre)",
        "SELECT top 1 Fecha from (SELECT top 2 Fecha from Reg_Pre)",
        "SELECT top 1 Fecha from Reg_Pre UNION SELECT Fecha from Reg_Pre",
        "SELECT top 1.5 Fecha from Reg_Pre", "SELECT top 5 percent Fecha from Reg_Pre"}) {
    EXPECT_THROW(db.run(refused), store::StoreError) << refused;
  }
  EXPECT_EQ(store::translateJet("INSERT INTO X SELECT top 2 a from T"),
            "INSERT INTO X SELECT  a from T LIMIT 2");
}

}  // namespace
