#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "copying/copy.h"
#include "loading/loader.h"
#include "lossy_relay.h"
#include "outputs/day_output_files.h"
#include "outputs/frm_aviso.h"
#include "session/startup.h"
#include "station.h"

namespace {

namespace fs = std::filesystem;

std::string listText(const forms::ComboBox& list) {
  std::string text;
  for (const auto& item : list.items()) text += item.text + ";";
  return text + " [" + list.text() + "]\n";
}

// What the operator sees that the database decides: the captions, the lists and the position.
std::string screenText(const capture::Captura& c) {
  return c.LabelMod.caption + " | " + c.LblRegNum.caption + " | " + c.LblRegES.caption + " | " +
         c.TextMin.text + " " + c.TextMax.text + " " + c.TextFrec.text + " " + c.TextObs.text +
         "\n" + listText(c.ComboDest) + listText(c.ComboProd) + listText(c.ComboPres) +
         listText(c.ComboOri);
}

// One operator's morning, key for key, in `folder`: the screen after each step, then the
// report and the export written at the end.
std::string morning(const fs::path& folder) {
  server_tests::Station station(folder);
  capture::Captura& c = station.screen;
  testing_support::HeadlessHost& host = station.host;
  outputs::DayOutputFiles outputs(host, station.state);
  c.useOutputs(outputs);
  std::string seen = screenText(c);
  const auto save = [&](const std::string& minimum, const std::string& observation) {
    c.type(c.TextMin, minimum);
    c.type(c.TextMax, "900");
    c.type(c.TextFrec, "800");
    c.type(c.TextObs, observation);
    c.click(c.CmdGrabar);
    seen += screenText(c);
  };
  save("700", "Mañana fría");
  save("650.5", "Oferta \"alta\"");
  save("640", "");
  c.click(c.cmdPrimero);
  seen += screenText(c);
  c.type(c.TextObs, "Cambiada a\\', Pre_min=0 --");
  c.click(c.CmdGrabar);
  c.click(c.cmdSiguiente);
  c.click(c.CmdBorrar);
  seen += screenText(c);
  c.click(c.CmdDeshacer);
  seen += screenText(c);
  host.answerNext<outputs::frmAviso>([](outputs::frmAviso& aviso) { aviso.click(aviso.cmdOK); });
  c.click(c.CmdGenera);
  c.click(c.CmdReporte);
  for (const std::string& modal : host.modalForms) seen += modal + "\n";
  return seen + testing_support::fileContents(folder / "Reporte.htm") +
         testing_support::fileContents(folder / (station.state.gCveDel + "FRU.csv"));
}

// The demo file moved to a server by tarvel-db copy: the same morning there writes the same
// report and export, byte for byte, and new records take keys after the copied ones. The
// server's own settings cannot change what is stored or written: with quotes that a backslash
// escapes, reals cut short and other dates, zones and schemas, the morning (a hostile
// observation changed included) looks and writes exactly as on a file.
TEST(ServerScreens, ACopiedFileWorksOnTheServerExactlyAsItDidAsAFile) {
  testing_support::TempFolder on_file;
  const fs::path file = store::databasePath(on_file.path());
  tarvel_db::createDatabaseFile(file, text::Date{2006, 7, 21});
  // The newest record deleted: its key is never given again, in the file or on the server.
  store::Connection::open(file).runNative(
      "DELETE FROM Reg_Pre WHERE Consec = (SELECT max(Consec) FROM Reg_Pre)");
  testing_support::TempFolder on_server;
  testing_support::ServerDatabase database;
  database.setHostileDefaults();
  const tarvel_db::CopiedRows copied =
      tarvel_db::copyToServer(store::databasePath(on_file.path()), database.uri());
  ASSERT_EQ(copied.size(), 12u);
  EXPECT_EQ(copied.front().first, "Reg_Pre");
  EXPECT_GT(copied.front().second, 0);
  std::ofstream(on_server.path() / store::kSettingsFileName) << "servidor = " << database.uri();

  const std::string from_file = morning(on_file.path());
  EXPECT_EQ(morning(on_server.path()), from_file);
  EXPECT_NE(from_file.find("Cambiada a\\', Pre_min=0 --"), std::string::npos) << from_file;
  EXPECT_FALSE(fs::exists(store::databasePath(on_server.path())));
  EXPECT_THROW(tarvel_db::copyToServer(store::databasePath(on_file.path()), database.uri()),
               std::runtime_error)
      << "a server that has the tables already is refused";

  // A text the server cannot hold whole stops the copy, named, and nothing is copied.
  store::Connection::open(file).runNative(
      "UPDATE Reg_Pre SET Obs = ? WHERE Consec = 7",
      std::vector<std::optional<std::string>>{std::string("antes\0después", 14)});
  const testing_support::ServerDatabase other;
  try {
    tarvel_db::copyToServer(file, other.uri());
    ADD_FAILURE() << "a text with a NUL was copied";
  } catch (const std::runtime_error& refused) {
    EXPECT_NE(
        std::string(refused.what()).find("la tabla Reg_Pre, fila con Consec = 7, columna Obs"),
        std::string::npos)
        << refused.what();
  }
  EXPECT_TRUE(other.connect().columnsOf("Reg_Pre").empty());
}

// A server that cannot be reached in the middle of the day: one message for the event, and
// the screen as it was; once the server is back the same event works.
TEST(ServerScreens, AServerOutOfReachCostsOneMessageAndLeavesTheScreen) {
  server_tests::ServerFolder on_server;
  server_tests::Station station(on_server.folder.path());
  capture::Captura& c = station.screen;
  const std::vector<std::string>& modals = station.host.modalForms;

  const forms::ScreenState before = c.saveScreen();
  on_server.database.rename("fuera_de_alcance");
  const std::size_t earlier = modals.size();
  c.clickMenu(c.Granos);
  EXPECT_EQ(std::vector<std::string>(modals.begin() + static_cast<long>(earlier), modals.end()),
            std::vector<std::string>{"frmMensaje"});
  EXPECT_TRUE(c.saveScreen() == before);
  EXPECT_EQ(station.state.gModulo, "FRU");

  on_server.database.rename("");
  c.clickMenu(c.Granos);
  EXPECT_EQ(station.state.gModulo, "GRA");
  EXPECT_GT(c.ComboProd.listCount(), 0);
}

}  // namespace

namespace {

// The database is chosen at the start: a settings file that vanishes or changes mid-session
// is told at the next event and nothing is written anywhere else, not even in the file
// beside it; put back, the work goes on where it was.
TEST(ServerScreens, TheServerChosenAtTheStartStaysTheOnlyDatabase) {
  server_tests::ServerFolder on_server;
  const fs::path folder = on_server.folder.path();
  store::Connection beside = testing_support::createDatabase(folder);
  ASSERT_EQ(session::databaseProblem(folder), std::nullopt);
  server_tests::Station station(folder);
  capture::Captura& c = station.screen;
  const fs::path settings = folder / store::kSettingsFileName;
  const std::string kept = testing_support::fileContents(settings);
  const auto on_server_rows = [&] {
    return on_server.database.connect().runNative("SELECT count(*) FROM Reg_Pre")[0][0].asInteger();
  };
  const std::int64_t before = on_server_rows();
  c.type(c.TextMin, "100");
  c.type(c.TextMax, "120");
  c.type(c.TextFrec, "110");
  for (const std::string& changed :
       {std::string(), std::string("servidor = postgresql:///otra?host=/tmp\n"),
        std::string("#\n")}) {
    if (changed.empty()) {
      fs::remove(settings);
    } else {
      std::ofstream(settings) << changed;
    }
    station.host.modalForms.clear();
    c.click(c.CmdGrabar);
    EXPECT_EQ(station.host.modalForms, std::vector<std::string>{"frmMensaje"}) << changed;
    EXPECT_EQ(c.records.count(), 0);
    EXPECT_EQ(c.TextMin.text, "100.00") << "the typed record stays on screen";
    EXPECT_EQ(beside.runNative("SELECT count(*) FROM Reg_Pre")[0][0].asInteger(), 0);
  }
  std::ofstream(settings) << kept;
  c.click(c.CmdGrabar);
  EXPECT_EQ(c.records.count(), 1);
  EXPECT_EQ(on_server_rows(), before + 1);
}

}  // namespace

namespace {

// A commit that reaches the server but whose answer is lost with the connection: the program
// reads back what it wrote before telling anything, so a record saved, changed, deleted or
// put back is shown as such, and the next save does not meet it as a duplicate. A COMMIT that
// reaches the server only after the program gave up on its connection (a slow network, a
// paused server) must not make what the program told untrue either: the session it left is
// ended before the program reads back what happened.
TEST(ServerScreens, ACommitWhoseAnswerIsLostOrLateIsToldAsWhatHappened) {
  server_tests::ServerFolder on_server;
  server_tests::LossyRelay relay;
  std::ofstream(on_server.folder.path() / store::kSettingsFileName)
      << "servidor = " << relay.through(on_server.database.uri()) << "\n";
  server_tests::Station station(on_server.folder.path());
  capture::Captura& c = station.screen;
  const auto rows = [&] {
    return on_server.database.connect().runNative("SELECT count(*) FROM Reg_Pre")[0][0].asInteger();
  };
  const std::int64_t before = rows();
  for (int record = 1; record <= 3; ++record) {
    c.type(c.TextMin, "100");
    c.type(c.TextMax, "120");
    c.type(c.TextFrec, "110");
    if (record == 1) relay.loseNextAnswerTo("COMMIT");
    if (record == 3) relay.holdNext("COMMIT");
    station.host.modalForms.clear();
    c.click(c.CmdGrabar);
    relay.releaseHeld();
    if (record < 3) {
      EXPECT_EQ(station.host.modalForms, std::vector<std::string>{}) << record;
      EXPECT_EQ(c.records.count(), record);
    }
    EXPECT_EQ(rows(), before + c.records.count()) << "the screen shows what is stored";
  }
  EXPECT_EQ(relay.lost(), 1);
  const int saved = c.records.count();

  c.click(c.cmdPrimero);
  c.type(c.TextObs, "cambiada");
  relay.loseNextAnswerTo("COMMIT");
  station.host.modalForms.clear();
  c.click(c.CmdGrabar);
  EXPECT_EQ(station.host.modalForms, std::vector<std::string>{});
  EXPECT_EQ(on_server.database.connect()
                .runNative("SELECT count(*) FROM Reg_Pre WHERE Obs = 'cambiada'")[0][0]
                .asInteger(),
            1);
  EXPECT_EQ(station.state.gRegNum, 2) << "moved on as after any change";

  c.click(c.cmdPrimero);
  relay.loseNextAnswerTo("COMMIT");
  c.click(c.CmdBorrar);
  EXPECT_EQ(station.host.modalForms, std::vector<std::string>{});
  EXPECT_EQ(c.records.count(), saved - 1);
  EXPECT_EQ(rows(), before + saved - 1);
  relay.loseNextAnswerTo("INSERT INTO Reg_Pre");
  c.click(c.CmdDeshacer);
  EXPECT_EQ(station.host.modalForms, std::vector<std::string>{});
  EXPECT_EQ(c.records.count(), saved) << "the undo put the record back";
  EXPECT_EQ(rows(), before + saved);
  EXPECT_EQ(relay.lost(), 4);

  c.click(c.cmdPrimero);
  relay.holdNext("COMMIT");
  c.click(c.CmdBorrar);
  relay.releaseHeld();
  EXPECT_EQ(rows(), before + c.records.count()) << "the screen shows what is stored";
}

}  // namespace

namespace {

// A station keeps one connection across its events; one the server cut while it was idle is
// opened again at the next event without a word.
TEST(ServerScreens, AStationKeepsOneConnectionAndReopensACutOne) {
  server_tests::ServerFolder on_server;
  server_tests::Station station(on_server.folder.path());
  capture::Captura& c = station.screen;
  store::Connection admin = on_server.database.connect();
  const auto stationBackends = [&] {
    return admin.runNative(
        "SELECT pid FROM pg_stat_activity WHERE datname = current_database() AND "
        "application_name LIKE 'tarvel-captura@%' AND pid <> pg_backend_pid()");
  };
  ASSERT_EQ(stationBackends().size(), 1u);
  const std::string first = stationBackends()[0][0].asText();
  c.clickMenu(c.Granos);
  c.clickMenu(c.Frutas);
  ASSERT_EQ(stationBackends().size(), 1u);
  EXPECT_EQ(stationBackends()[0][0].asText(), first);

  admin.runNative("SELECT pg_terminate_backend(" + first + ")");
  station.host.modalForms.clear();
  c.clickMenu(c.Granos);
  EXPECT_EQ(station.host.modalForms, std::vector<std::string>{});
  EXPECT_EQ(station.state.gModulo, "GRA");
  ASSERT_EQ(stationBackends().size(), 1u);
  EXPECT_NE(stationBackends()[0][0].asText(), first);
}

}  // namespace
