#include "capture_fixture.h"
#include "outputs/day_output_files.h"
#include "outputs/frm_aviso.h"

#include <fstream>
#include <sstream>

#include "archive/archive_reading.h"
#include "loading/loader.h"
#include "store/server_settings.h"

namespace {

// The buttons write what the operator has just saved and give the focus back. Another
// delegation's records of the day stay out of both files; a line break typed or pasted into
// the observation never reaches the file.
TEST_F(CaptureScreen, TheOutputsHoldTheDelegationsRecordsInWholeLines) {
  sql("DELETE FROM Reg_Pre");
  sql("INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres, "
      "Pre_min, Obs) VALUES (12, 'FRU', #2006/7/21#, 1, 7, 20, 1, 50, 'de otra delegación')");
  capture::Captura& c = start("Frutas y Hortalizas");
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);
  c.type(c.TextObs, "llegó poca,\r\ncalidad \"buena\"\n");
  EXPECT_EQ(c.TextObs.text, "llegó poca, calidad \"buena\" ");
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);

  std::string notice;
  host.answerNext<outputs::frmAviso>([&](outputs::frmAviso& aviso) {
    notice = aviso.lblArc.caption + " " + aviso.lblCant.caption;
    aviso.click(aviso.cmdOK);
  });
  c.focus(c.TextObs);
  c.click(c.CmdGenera);
  EXPECT_EQ(notice, "5FRU.csv 1");
  EXPECT_EQ(c.focused(), &c.TextObs) << "back where the operator was";
  const std::string exported = testing_support::fileContents(folder.path() / "5FRU.csv");
  EXPECT_NE(exported.find(" poca, calidad \"buena\" \","), std::string::npos) << exported;
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 1) << exported;
  c.click(c.CmdReporte);
  EXPECT_EQ(host.openedDocuments, std::vector{folder.path() / "Reporte.htm"});
  EXPECT_EQ(c.focused(), &c.TextObs);
  const std::string report = testing_support::fileContents(folder.path() / "Reporte.htm");
  EXPECT_EQ(report.find("otra delegaci"), std::string::npos);
  EXPECT_EQ(exported.find("otra delegaci"), std::string::npos);
}

}  // namespace

namespace {

// A day exported before the start's purge moved it to the archive is exported again by
// tarvel-db, byte for byte; its records come out of the archive as rows tarvel-db load takes.
TEST_F(CaptureScreen, APurgedDayIsExportedAgainFromTheArchive) {
  const text::Date day{2006, 7, 15};  // fruit is kept 7 days: the next start purges it
  addRows({{.date = "2006-07-15", .product = 4, .observations = "dijo \"barato\", a<b"},
           {.date = "2006-07-15", .product = 1, .minimum = std::nullopt},
           {.date = "2006-07-15", .product = 3, .origin = 7}});
  capture::Captura& c = start("Granos y Semillas");
  ASSERT_EQ(rows("Fecha = '2006-07-15'"), 3) << "the first start purges nothing of that day";
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);
  c.clickMenu(c.Frutas);
  state->gFecha = text::dateLabel(day);
  host.answerNext<outputs::frmAviso>([](outputs::frmAviso& aviso) { aviso.click(aviso.cmdOK); });
  c.click(c.CmdGenera);
  const std::string exported = testing_support::fileContents(folder.path() / "5FRU.csv");
  ASSERT_FALSE(exported.empty());

  host.clock.day = 22;
  start("Granos y Semillas");
  ASSERT_EQ(rows("Fecha = '2006-07-15'"), 0);
  const auto server = store::serverOf(folder.path());
  const std::string target = server ? server->uri : store::databasePath(folder.path()).string();
  const testing_support::TempFolder out;
  const tarvel_db::DayExport again = tarvel_db::writeDayExport(target, day, "FRU", "5", out.path());
  EXPECT_EQ(again.file, out.path() / "5FRU.csv");
  EXPECT_EQ(again.records, 3u);
  EXPECT_EQ(testing_support::fileContents(again.file), exported);
  EXPECT_THROW(tarvel_db::writeDayExport(target, day, "GRA", "5", out.path()), std::runtime_error);

  std::ostringstream csv;
  EXPECT_EQ(tarvel_db::writeArchivedRecords(target, {day, day, "FRU"}, csv), 3u);
  const testing_support::TempFolder loaded;
  const auto file = (loaded.path() / "cargado.mdb").string();
  tarvel_db::createDatabaseFile(file, std::nullopt);
  std::ofstream(loaded.path() / "historico.csv") << csv.str();
  store::Connection into = store::Connection::open(file);
  EXPECT_EQ(tarvel_db::loadCsv(into, "Reg_Pre", (loaded.path() / "historico.csv").string()), 3u);
  EXPECT_EQ(into.runNative("SELECT Obs FROM Reg_Pre WHERE Cve_prod = 4")[0][0].asText(),
            "dijo \"barato\", a<b");
}

}  // namespace
