#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "loading/loader.h"
#include "store/error.h"
#include "temp_folder.h"

namespace {

class Loader : public ::testing::Test {
 protected:
  Loader() : db_(testing_support::createDatabase(folder_.path())) {}

  std::string file(const std::string& bytes) {
    const auto path = (folder_.path() / ("carga" + std::to_string(files_++) + ".csv")).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The message of a refused file, which names the file and `where`; an accepted file fails
  // the test.
  std::string refusal(const std::string& table, const std::string& bytes,
                      const std::string& where) {
    const std::string path = file(bytes);
    try {
      tarvel_db::loadCsv(db_, table, path);
    } catch (const std::runtime_error& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind(path, 0), 0u) << "the message names the file: " << message;
      EXPECT_NE(message.find(where), std::string::npos) << message;
      return message;
    }
    ADD_FAILURE() << "the file was loaded: " << bytes;
    return {};
  }

  std::vector<std::string> column(const std::string& statement) {
    std::vector<std::string> values;
    for (const auto& row : db_.runNative(statement)) values.push_back(row[0].asText());
    return values;
  }

  testing_support::TempFolder folder_;
  store::Connection db_;
  int files_ = 0;
};

using Texts = std::vector<std::string>;

TEST_F(Loader, ReadsWindows1252AsUtf8AndRefusesBytesItLeavesUndefined) {
  EXPECT_EQ(tarvel_db::loadCsv(db_, "Cat_Ori",
                               file("Cve_Ori,Desc_Ori,Abrev\r\n1,A\xF1il,A\xD1I\r\n"
                                    "2,\xC1lamos,\r\n")),
            2u);
  EXPECT_EQ(column("SELECT Desc_Ori FROM Cat_Ori ORDER BY Cve_Ori"), (Texts{"Añil", "Álamos"}));
  EXPECT_EQ(column("SELECT Abrev FROM Cat_Ori WHERE Cve_Ori = 1"), Texts{"AÑI"});

  const std::string canada =
      "Cve_Ori,Desc_Ori\n3,Ca\xF1"
      "ada\n";
  for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
    refusal("Cat_Ori", canada + "4,Mal" + undefined + "o\n", "línea 3");
  }
  // A file marked as UTF-8 is not read as Windows-1252.
  refusal("Cat_Ori", "\xEF\xBB\xBF" + canada, "línea 2");
  refusal("Cat_Ori", std::string("Cve_Ori,Desc_Ori\n3,Nul") + '\0' + "o\n", "línea 2");
  EXPECT_EQ(column("SELECT count(*) FROM Cat_Ori"), Texts{"2"});
}

TEST_F(Loader, StoresCaptureDatesInIsoFormAndRefusesOtherForms) {
  EXPECT_EQ(tarvel_db::loadCsv(db_, "Reg_Pre",
                               file("Cve_del,Cve_Mod,fecha,Cve_prod,Fecha_de,FECHA_A\n"
                                    "5,FRU,05/07/2006,1,,\n"
                                    "5,FRU,5/7/2006,2,2006-07-04,1/7/2006\n"
                                    "5,FRU,2006-07-06,3,,\n")),
            3u);
  EXPECT_EQ(column("SELECT Fecha FROM Reg_Pre ORDER BY Cve_prod"),
            (Texts{"2006-07-05", "2006-07-05", "2006-07-06"}));
  EXPECT_EQ(column("SELECT Fecha_de || '|' || Fecha_a FROM Reg_Pre WHERE Cve_prod = 2"),
            Texts{"2006-07-04|2006-07-01"});
  EXPECT_EQ(column("SELECT count(*) FROM Reg_Pre WHERE Fecha_de IS NULL"), Texts{"2"});

  for (const char* date : {"2006/07/05", "31/02/2006", "5/7/06", "05-07-2006", "ayer"}) {
    const auto message = refusal(
        "Reg_Pre", std::string("Cve_Mod,Fecha,Cve_prod\nFRU,2006-07-05,1\nFRU,") + date + ",2\n",
        "línea 3");
    EXPECT_NE(message.find(date), std::string::npos) << message;
  }
  EXPECT_EQ(column("SELECT count(*) FROM Reg_Pre"), Texts{"3"});
}

TEST_F(Loader, BringsCodesAndFlagsToUpperCaseWhateverTheHeaderCase) {
  tarvel_db::loadCsv(db_, "Cat_Dest",
                     file("cve_des,desc_des,coord,fru,azu,ace,gra,flo\n"
                          "10,Central de Abasto,5,s,n, S ,,N\n"));
  EXPECT_EQ(column("SELECT FRU || AZU || ACE || GRA || FLO FROM Cat_Dest"), Texts{"SNSNN"});
  EXPECT_EQ(db_.run("SELECT Cve_Des, Desc_Des from Cat_Dest where Coord='5' and  FRU='S' "
                    "order by Desc_Des ")
                .size(),
            1u);
  tarvel_db::loadCsv(db_, "Cat_Prod",
                     file("NUM_PROD,cve_prod,Desc_Prod,cve_mod,Tipo\n1,hji,Jitomate,fru,H\n"));
  EXPECT_EQ(column("SELECT Cve_Prod || Cve_Mod FROM Cat_Prod"), Texts{"HJIFRU"});
  tarvel_db::loadCsv(db_, "Cat_Var_Ace", file("variedad,descripcion\ns,soya\nñ,ñandú\n"));
  EXPECT_EQ(column("SELECT Variedad || Descripcion FROM Cat_Var_Ace ORDER BY rowid"),
            (Texts{"Ssoya", "Ññandú"}));
  tarvel_db::loadCsv(db_, "Reg_Pre", file("cve_mod,Fecha\nins,2006-07-05\n"));
  EXPECT_EQ(column("SELECT Cve_Mod FROM Reg_Pre"), Texts{"INS"});

  refusal("Cat_Dest", "Cve_Des,FRU\n11,S\n12,si\n", "línea 3");
  EXPECT_EQ(column("SELECT count(*) FROM Cat_Dest"), Texts{"1"});
}

TEST_F(Loader, ARefusedFileLoadsNothingAndSaysWhereAndWhy) {
  tarvel_db::loadCsv(db_, "Cat_Ori", file("Cve_Ori,Desc_Ori\n1,Valle Alto\n"));
  const struct {
    const char* bytes;
    const char* where;
  } refused[] = {
      {"Cve_Ori,Desc_Ori,Region\n2,Costa,Sur\n", "línea 1"},        // unknown column
      {"Cve_Ori,Desc_Ori\n2,Costa\n3,Sierra,de más\n", "línea 3"},  // too many values
      {"Cve_Ori,Desc_Ori\n2,Costa\ntres,Sierra\n", "línea 3"},      // key that is no number
      {"Cve_Ori,Desc_Ori\n2,\"dos\nlíneas\"\n3,\"sin cerrar\n", "línea 4"},
      {"", "línea 1"},
  };
  for (const auto& file_case : refused) {
    refusal("Cat_Ori", file_case.bytes, file_case.where);
  }
  // The table is never one of the statement's words.
  EXPECT_THROW(tarvel_db::loadCsv(db_, "Cat_Ori; DROP TABLE Config", file("Cve_Ori\n2\n")),
               std::runtime_error);
  // A row the database refuses: the rows before it are undone as well.
  const std::string repeated = file("Cve_Ori,Desc_Ori\n2,Costa\n3,Sierra\n1,Repetido\n");
  try {
    tarvel_db::loadCsv(db_, "Cat_Ori", repeated);
    ADD_FAILURE() << "a repeated key was loaded";
  } catch (const store::StoreError& error) {
    EXPECT_NE(std::string(error.what()).find(repeated + ", línea 4"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(column("SELECT Desc_Ori FROM Cat_Ori"), Texts{"Valle Alto"});

  // Rows written without naming columns fill the table's first ones; more are refused.
  tarvel_db::insertRows(db_, "Cat_Ori", {{"4", "Costa"}});
  EXPECT_EQ(column("SELECT coalesce(Abrev, 'vacía') FROM Cat_Ori WHERE Cve_Ori = 4"),
            Texts{"vacía"});
  EXPECT_THROW(tarvel_db::insertRows(db_, "Cat_Ori", {{"5", "Sur", "SUR", "de más"}}),
               std::runtime_error);
}

TEST(CreateDatabaseFile, RemovesAFileItCouldNotCompleteAndKeepsAnExistingOne) {
  testing_support::TempFolder folder;
  const auto file = folder.path() / "TARVELcaptura.mdb";
  const auto journal = folder.path() / "TARVELcaptura.mdb-journal";
  // A folder where the engine wants its journal: the first transaction fails.
  std::filesystem::create_directory(journal);
  EXPECT_THROW(tarvel_db::createDatabaseFile(file, text::Date{2006, 7, 21}), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::is_directory(journal));

  std::filesystem::remove(journal);
  tarvel_db::createDatabaseFile(file, std::nullopt);
  EXPECT_THROW(tarvel_db::createDatabaseFile(file, text::Date{2006, 7, 21}), std::runtime_error);
  auto db = store::Connection::open(file);
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Config")[0][0].asInteger(), 1);
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Cat_Deleg")[0][0].asInteger(), 0);
}

}  // namespace
