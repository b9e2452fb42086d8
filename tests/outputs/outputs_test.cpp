#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "forms/message_form.h"
#include "headless_host.h"
#include "outputs/day_output_files.h"
#include "outputs/export_file.h"
#include "outputs/frm_aviso.h"
#include "outputs/report.h"
#include "server_database.h"
#include "session/capture_module.h"
#include "store/connection.h"
#include "store/jet_dialect.h"
#include "store/server_settings.h"
#include "temp_folder.h"
#include "without_rights.h"

namespace {

namespace fs = std::filesystem;
using tarvel_db::CsvRecord;
using testing_support::fileContents;

std::string expected(const std::string& name) {
  return fileContents(fs::path(EXPECTED_FOLDER) / name);
}

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A small catalogue and Tuesday 18/07/2006's records of every module but "FLO": names with
// accents, "ñ", "&" and "<", null and empty qualities and product types, a type letter
// outside F, G, H and I, zero and null prices, and observations with a comma, a quote and
// characters Windows-1252 lacks. "GRA" tells each term of the orders from the next, and
// two of its records differ only in their key, stored out of its order.
void writeDay(store::Connection& db) {
  using testing_support::insert;
  insert(db, "Cat_Dest", {"Cve_Des", "Desc_Des"},
         {{"10", "Central de Abasto"}, {"20", "Mercado Ñuñoa & Hijos"}});
  insert(db, "Cat_Ori", {"Cve_Ori", "Desc_Ori"}, {{"1", "Michoacán"}, {"2", "Sinaloa"}});
  insert(db, "Cat_Pres", {"Cve_Pres", "Desc_Pres"}, {{"1", "Caja 10 kg"}, {"2", "Kilogramo"}});
  insert(db, "Cat_Ing", {"Consecutivo", "Desc_Ing"}, {{"1", "Ingenio El Mante"}});
  insert(db, "Cat_Fte", {"Cve_Inf", "Desc_Inf"}, {{"1", "Distribuidora <Agro>"}});
  insert(db, "Cat_Muni", {"Mun", "Municipio"}, {{"101", "Zamora"}});
  insert(db, "Cat_Trans", {"Cve_Tra", "Desc_Tra"}, {{"1", "Camión"}});
  insert(db, "Cat_Var_Ace", {"Variedad", "Descripcion"}, {{"M", "Maíz"}});
  insert(db, "Cat_Prod", {"Num_Prod", "Cve_Prod", "Desc_Prod", "Calidad", "Cve_Mod", "Tipo"},
         {{"1", "F01", "Aguacate", "Hass", "FRU", "F"},
          {"2", "G01", "Limón", "Primera", "FRU", "G"},
          {"3", "H01", "Jitomate", "Saladette", "FRU", "H"},
          {"4", "X01", "Nopal", std::nullopt, "FRU", "X"},
          {"13", "T01", "Tuna", "Roja", "FRU", std::nullopt},
          {"5", "S01", "Frijol", "Negro", "GRA", std::nullopt},
          {"6", "S02", "Arroz", "Morelos", "GRA", std::nullopt},
          {"7", "R01", "Urea", "46%", "INS", "R"},
          {"8", "R02", "Sulfato de amonio", "", "INS", "R"},
          {"9", "Z01", "Azúcar estándar", "Granel", "AZU", "Z"},
          {"10", "ACM01", "Aceite vegetal", "Botella", "ACE", "A"},
          {"11", "F02", "Mango", "Ataulfo", "VOL", "F"},
          {"12", "H02", "Cebolla", "Blanca", "VOL", "H"}});
  // Consec, module, destination, product, origin, presentation, the four prices, Obs,
  // source, municipality, transport, volume, entry period.
  const auto day = [](CsvRecord record) {
    record.insert(record.begin() + 2, "2006-07-18");
    return record;
  };
  std::vector<CsvRecord> records;
  // clang-format off
  for (const CsvRecord& record : std::vector<CsvRecord>{
           {"101", "FRU", "10", "1", "1", "1", "100", "120", "110", "0", {}, "1", "101"},
           {"102", "FRU", "20", "1", "2", "1", "12.50", "15", "14", "0", "Precio → alto €"},
           {"103", "FRU", "20", "2", "1", "2", "1234", "1500.5", "0", "0", "Dijo \"barato\", a<b"},
           {"104", "FRU", "20", "3", "2", "1", "0", "0", {}, "0", ""},
           {"105", "FRU", "10", "4", "1", "2", "8", "9", "8.5", "0"},
           {"100", "FRU", "10", "13", "1", "1", "5", "6", "5.5", "0"},
           {"201", "GRA", "20", "5", "2", "2", "20", "22", "21", "0"},
           {"204", "GRA", "10", "5", "1", "2", "18", "18", "18", "0", "Segunda toma"},
           {"202", "GRA", "10", "5", "1", "2", "19", "21", "20", "0"},
           {"203", "GRA", "10", "6", "1", "2", "30", "30", "30", "0"},
           {"205", "GRA", "20", "6", "1", "2", "31", "31", "31", "0"},
           {"206", "GRA", "10", "5", "2", "1", "17", "17", "17", "0"},
           {"301", "INS", "10", "7", "1", "2", "350", "380", "360", "0", {}, "1", "101"},
           {"302", "INS", "10", "8", "2", "2", "200", "210", "205", "0", {}, "1"},
           {"401", "AZU", "10", "9", "1", "1", "650.5", "0", "0", "0"},
           {"501", "ACE", "10", "10", "1", "1", "25", "28", "26", "0"},
           {"601", "VOL", "10", "12", "2", "1", "0", "0", "0", "0", "Lluvia", {}, {}, "1", "12.5",
            "2006-07-10", "2006-07-16"},
           {"602", "VOL", "10", "11", "1", "1", "0", "0", "0", "0", {}, {}, {}, "1", "30",
            "2006-07-17", "2006-07-17"}}) {
    // clang-format on
    CsvRecord full = day(record);
    full.resize(18);
    records.push_back(full);
  }
  insert(db, "Reg_Pre",
         {"Consec", "Cve_Mod", "Fecha", "Cve_des", "Cve_prod", "Cve_ori", "Cve_pres", "Pre_min",
          "Pre_max", "Pre_frec", "Pre_uni", "Obs", "Cve_inf", "Cve_mun", "Cve_tra", "Vol",
          "Fecha_de", "Fecha_a"},
         records);
}

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    writeDay(database.connection());
    host.folder = folder.path();
    state.gRuta = folder.path().string();
    state.gCveDel = "5";
    state.gFecha = "Mar 18/07/2006";
  }

  void useModule(const std::string& code) {
    state.gModulo = code;
    state.gDescMod = std::string(session::findModule(code)->caption);
  }

  // Answers the next notice or error, keeping what it said.
  void answerNotice() {
    host.answerNext<outputs::frmAviso>([this](outputs::frmAviso& notice) {
      said.push_back(notice.lblArc.caption + "|" + notice.lblDir.caption + "|" +
                     notice.lblCant.caption);
      notice.keyPress(forms::kEnterKey);
    });
  }
  void answerError() {
    host.answerNext<forms::MessageForm>([this](forms::MessageForm& message) {
      said.push_back(message.LabelMensaje.caption);
      message.keyPress(forms::kEnterKey);
    });
  }

  fs::path file(const std::string& name) const { return folder.path() / name; }
  // What the folder holds of its database: the file, or the settings file naming a server.
  std::string databaseEntry() const {
    return database.onServer() ? store::kSettingsFileName : store::kDatabaseFileName;
  }

  testing_support::TempFolder folder;
  testing_support::TestDatabase database{folder.path()};
  testing_support::HeadlessHost host;
  session::SessionState state;
  outputs::DayOutputFiles outputs{host, state};
  std::vector<std::string> said;
};

// However many days the file holds, the outputs read only the day's records of the module,
// in an order that leaves nothing to the backend.
TEST(OutputStatements, FindTheDaysRecordsThroughAnIndex) {
  testing_support::TempFolder folder;
  auto db = testing_support::createDatabase(folder.path());
  for (const char* module : {"FRU", "AZU", "ACE", "GRA", "FLO", "INS", "VOL", "AND"}) {
    for (const std::string& statement : {outputs::reportStatement("5", module, {2006, 7, 18}),
                                         outputs::exportStatement("5", module, {2006, 7, 18})}) {
      std::string plan;
      for (const auto& step :
           db.runNative("EXPLAIN QUERY PLAN " + store::translateJet(statement))) {
        plan += step[3].asText() + "\n";
      }
      EXPECT_NE(plan.find("SEARCH Reg_Pre USING INDEX"), std::string::npos) << module << plan;
      EXPECT_EQ(plan.find("SCAN Reg_Pre"), std::string::npos) << module << plan;
      // Records alike in every other term keep the order they were saved in on any backend.
      EXPECT_TRUE(statement.ends_with(", Reg_Pre.Consec ;")) << statement;
    }
  }
  // The day's records of the signed-in delegation and those that name none, never another
  // delegation's: the export file is named by the delegation.
  EXPECT_EQ(outputs::reportStatement("5", "FRU", {2006, 7, 18}),
            "SELECT Cat_Dest.desc_des,  Cat_Prod.desc_prod,  Cat_Ori.desc_ori, "
            "Cat_Pres.desc_pres,  Reg_Pre.Pre_min, Reg_Pre.Pre_max, Reg_Pre.Pre_frec, "
            "Reg_Pre.Pre_uni, Reg_Pre.Obs , Cat_Prod.Calidad , Cat_Prod.tipo  FROM ((((Reg_Pre  "
            "INNER JOIN Cat_Prod ON Reg_Pre.Cve_prod = Cat_Prod.Num_Prod)  INNER JOIN Cat_Ori ON "
            "Reg_Pre.Cve_ori = Cat_Ori.cve_ori)  INNER JOIN Cat_Pres ON Reg_Pre.Cve_pres = "
            "Cat_Pres.Cve_Pres)  INNER JOIN Cat_Dest ON Reg_Pre.Cve_des = Cat_Dest.cve_des)  "
            "Where (Reg_Pre.Fecha = #2006/7/18#) And (Reg_Pre.Cve_Mod = 'FRU') And "
            "(Reg_Pre.Cve_del = 5 Or Reg_Pre.Cve_del Is Null)  ORDER BY  left(Cat_Prod.tipo,1),  "
            "Cat_Dest.desc_des, Cat_Prod.desc_prod,  Cat_Ori.desc_ori, Cat_Pres.desc_pres, "
            "Reg_Pre.Consec ;");
  EXPECT_EQ(outputs::exportStatement("5", "FRU", {2006, 7, 18}),
            "SELECT Cve_Mod, Fecha, Cve_Des, Cve_Prod, Cve_Ori, Cve_Pres,  Reg_Pre.Pre_min, "
            "Reg_Pre.Pre_max, Reg_Pre.Pre_frec, Reg_Pre.Pre_uni, Reg_Pre.Obs, Reg_Pre.Consec , "
            "Cve_Inf, Cve_Mun  FROM Reg_Pre  Where (Reg_Pre.Fecha = #2006/7/18#) And "
            "(Reg_Pre.Cve_Mod = 'FRU') And (Reg_Pre.Cve_del = 5 Or Reg_Pre.Cve_del Is Null)  "
            "ORDER BY Cve_Des, Cve_Prod, Cve_Ori, Cve_Pres, Reg_Pre.Consec ;");
}

TEST_F(Outputs, EveryModulesReportIsWrittenLineForLineAndOpenedEachPressReplacingTheLast) {
  for (const std::string module : {"GRA", "FRU", "FLO", "INS", "AZU", "ACE", "VOL"}) {
    SCOPED_TRACE(module);
    useModule(module);
    outputs.writeReport();
    EXPECT_EQ(fileContents(file("Reporte.htm")), expected("report-" + module + ".htm"));
  }
  EXPECT_EQ(host.openedDocuments, std::vector<fs::path>(7, file("Reporte.htm")));
  EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"Reporte.htm", databaseEntry()}));

  host.viewerAvailable = false;
  answerError();
  outputs.writeReport();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("quedó en " + file("Reporte.htm").string()), std::string::npos);
  EXPECT_EQ(fileContents(file("Reporte.htm")), expected("report-VOL.htm"));
}

TEST_F(Outputs, TheExportCarriesTheStoredValuesAndTheNoticeItsNameFolderAndCount) {
  for (const std::string module : {"FRU", "VOL", "GRA", "FLO"}) {
    useModule(module);
    answerNotice();
    outputs.writeExport();
  }
  for (const char* name : {"5FRU.csv", "5VOL.csv", "5GRA.csv"}) {
    EXPECT_EQ(fileContents(file(name)), expected(name)) << name;
  }
  EXPECT_EQ(fileContents(file("5FLO.csv")), "");
  const std::string folder_shown = folder.path().string() + "/";
  EXPECT_EQ(said, (std::vector<std::string>{
                      "5FRU.csv|" + folder_shown + "|6", "5VOL.csv|" + folder_shown + "|2",
                      "5GRA.csv|" + folder_shown + "|6", "5FLO.csv|" + folder_shown + "|0"}));

  // Another day's export of the module replaces the file.
  state.gFecha = "Mie 19/07/2006";
  useModule("FRU");
  answerNotice();
  outputs.writeExport();
  EXPECT_EQ(fileContents(file("5FRU.csv")), "");
}

TEST_F(Outputs, AFileThatCannotBeWrittenKeepsWhatItHeldAndTheOperatorIsToldWhy) {
  useModule("FRU");
  answerNotice();
  outputs.writeExport();
  outputs.writeReport();
  const auto files_before = filesIn(folder.path());

  // A folder the operator may not write in.
  fs::permissions(folder.path(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(file(databaseEntry()), fs::perms::owner_all | fs::perms::others_read);
  const std::string told = testing_support::withoutRights([&] {
    testing_support::HeadlessHost child_host;
    session::SessionState child_state = state;
    outputs::DayOutputFiles child_outputs(child_host, child_state);
    std::string messages;
    for (int press = 0; press < 2; ++press) {
      child_host.answerNext<forms::MessageForm>([&](forms::MessageForm& message) {
        messages += message.LabelMensaje.caption + "\n";
        message.keyPress(forms::kEnterKey);
      });
    }
    child_outputs.writeExport();
    child_outputs.writeReport();
    return messages + std::to_string(child_host.modalForms.size()) + " " +
           std::to_string(child_host.openedDocuments.size());
  });
  for (const auto* name : {"5FRU.csv", "Reporte.htm"}) {
    EXPECT_NE(told.find("No se pudo escribir el archivo " + file(name).string() +
                        ".\nCausa: no hay permiso para escribir en la carpeta"),
              std::string::npos)
        << told;
  }
  EXPECT_TRUE(told.ends_with("2 0")) << told;  // two messages, no notice, nothing opened

  // A query that fails.
  fs::permissions(folder.path(), fs::perms::owner_all);
  database.connection().runNative("DROP TABLE Cat_Pres");
  answerError();
  outputs.writeReport();
  ASSERT_EQ(said.size(), 2u);
  EXPECT_TRUE(said[1].starts_with("No se pudo escribir el archivo " + file("Reporte.htm").string() +
                                  ".\nCausa: la base de datos "
                                  "no tiene la tabla Cat_Pres"))
      << said[1];
  EXPECT_EQ(fileContents(file("Reporte.htm")), expected("report-FRU.htm"));
  EXPECT_EQ(fileContents(file("5FRU.csv")), expected("5FRU.csv"));
  EXPECT_EQ(filesIn(folder.path()), files_before);
}

}  // namespace
