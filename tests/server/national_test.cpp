// A server prepared for several delegations, worked on by the program: each station signs in
// for the delegation of its role alone, purges only that delegation's records, and the
// database logs each of its saves, changes and deletes once.
#include <gtest/gtest.h>
#include <unistd.h>

#include "forms/message_form.h"
#include "station.h"
#include "store/server_security.h"

namespace {

TEST(NationalServer, AStationWorksOnlyForTheDelegationOfItsRole) {
  server_tests::ServerFolder on_server;
  const std::string role = "costa_" + std::to_string(getpid());
  store::Connection admin = on_server.database.connect();
  admin.runNative(
      "INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Obs) VALUES (5, 'GRA', '2006-05-01', "
      "'viejo'), (12, 'GRA', '2006-05-01', 'viejo')");
  store::prepareServer(admin);
  store::addDelegationRole(admin, 12, role);
  std::string uri = on_server.database.uri();
  uri.replace(uri.find("user=postgres"), 13, "user=" + role);
  std::ofstream(on_server.folder.path() / store::kSettingsFileName) << "servidor = " << uri << "\n";

  testing_support::HeadlessHost host;
  host.folder = on_server.folder.path();
  host.clock = forms::LocalDateTime{2006, 7, 21, 8, 0, 0};
  host.answerNext<session::frmClaveAcceso>([](session::frmClaveAcceso& access) {
    access.type(access.Text1, "005");  // another delegation's key
    access.keyPress(forms::kEnterKey);
    EXPECT_TRUE(access.Text1.visible) << "another delegation's key signs in";
    access.type(access.Text1, "012");
    access.keyPress(forms::kEnterKey);
    access.keyPress(forms::kEnterKey);
  });
  host.answerNext<forms::MessageForm>(
      [](forms::MessageForm& notice) { notice.keyPress(forms::kEnterKey); });
  session::SessionState state;
  capture::Captura screen(host, state);
  screen.load();
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0],
            "Este equipo entra al servidor por la delegación 12 (Delegación Costa Serena): solo se "
            "firma con una clave de esa delegación.");
  EXPECT_EQ(state.gCveDel, "12");
  const auto count = [&](const std::string& statement) {
    return admin.runNative(statement)[0][0].asInteger();
  };
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Obs = 'viejo'"), 1) << "5's old record stays";
  EXPECT_EQ(count("SELECT count(*) FROM Historico WHERE Cve_del = 12"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM Historico"), 1);

  // A save, a change and a delete, each logged once under the station's role.
  host.enterOnEveryModal = true;
  screen.type(screen.TextMin, "100");
  screen.type(screen.TextMax, "120");
  screen.type(screen.TextFrec, "110");
  screen.click(screen.CmdGrabar);
  ASSERT_EQ(screen.records.count(), 1) << host.notices.back();
  const std::int64_t key = *screen.records.keyAt(1);
  screen.click(screen.cmdPrimero);
  screen.type(screen.TextObs, "revisado");
  screen.click(screen.CmdGrabar);
  screen.click(screen.cmdPrimero);
  screen.click(screen.CmdBorrar);
  const store::Rows log =
      admin.runNative("SELECT accion, rol, programa FROM bitacora WHERE consec = ? ORDER BY id",
                      store::Row{store::Value(key)});
  ASSERT_EQ(log.size(), 3u);
  const char* actions[] = {"alta", "cambio", "baja"};
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i][0].asText(), actions[i]);
    EXPECT_EQ(log[i][1].asText(), role);
    EXPECT_EQ(log[i][2].asText().rfind("tarvel-captura@", 0), 0u) << log[i][2].asText();
  }
}

}  // namespace
