#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "capture/captura.h"
#include "capture_catalogue.h"
#include "headless_host.h"
#include "server_database.h"
#include "session/session_state.h"
#include "sign_in.h"
#include "store/server_settings.h"
#include "temp_folder.h"

namespace {

constexpr int kProducts = 6;

// One station: signs in, waits for the signal, then saves the same product keys as every
// other station, in the same order; after a rebuild of its screen it reports how many
// records of the day it shows. Never returns.
[[noreturn]] void station(const std::filesystem::path& folder, int go, int report, int prices) {
  testing_support::HeadlessHost host;
  host.folder = folder;
  host.clock = forms::LocalDateTime{2006, 7, 21, 8, 0, 0};
  host.enterOnEveryModal = true;
  session::SessionState state;
  capture::Captura c(host, state);
  testing_support::queueSignIn(host);
  c.load();
  char signal = 0;
  if (read(go, &signal, 1) < 0) _exit(4);
  // The list names each product twice (by name and by key); each is saved once.
  std::vector<std::int32_t> chosen;
  for (int item = 0; static_cast<int>(chosen.size()) < kProducts; ++item) {
    const std::int32_t product = c.ComboProd.itemData(item);
    if (std::find(chosen.begin(), chosen.end(), product) != chosen.end()) continue;
    chosen.push_back(product);
    c.choose(c.ComboProd, item);
    c.choose(c.ComboPres, 0);
    c.choose(c.ComboOri, 0);
    c.type(c.TextMin, std::to_string(prices + item));
    c.type(c.TextMax, std::to_string(prices + item + 10));
    c.type(c.TextFrec, std::to_string(prices + item + 5));
    c.click(c.CmdGrabar);
  }
  c.clickMenu(c.Frutas);
  const std::string count = std::to_string(c.records.count()) + "\n";
  if (write(report, count.data(), count.size()) != static_cast<ssize_t>(count.size())) _exit(3);
  _exit(0);
}

// Two stations saving the same keys at the same moment: the duplicate check and the insert
// run serialised, so each key is saved once, by one station or the other, and both screens
// show every record after a rebuild.
TEST(Stations, TwoStationsSavingTheSameKeysAtOnceNeverMakeADuplicate) {
  testing_support::TempFolder folder;
  testing_support::ServerDatabase database;
  {
    store::Connection server = testing_support::createServerSchema(database);
    testing_support::writeCaptureCatalogue(server, text::Date{2006, 7, 21});
    server.runNative("DELETE FROM Reg_Pre WHERE Fecha = '2006-07-21'");
  }
  std::ofstream(folder.path() / store::kSettingsFileName) << "servidor = " << database.uri();

  int go[2];
  int report[2];
  ASSERT_EQ(pipe(go), 0);
  ASSERT_EQ(pipe(report), 0);
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      close(go[1]);
      close(report[0]);
      station(folder.path(), go[0], report[1], 100 + 50 * i);
    }
  }
  close(go[0]);
  close(report[1]);
  // Both stations are released at once: their reads end when the write end closes.
  close(go[1]);
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::string counts(64, '\0');
  counts.resize(static_cast<std::size_t>(std::max<ssize_t>(0, read(report[0], counts.data(), 64))));
  close(report[0]);

  store::Connection server = database.connect();
  EXPECT_EQ(server
                .run("SELECT count(*) FROM (SELECT Cve_prod, Cve_pres, Cve_ori FROM Reg_Pre "
                     "WHERE Fecha=#2006/7/21# GROUP BY Cve_prod, Cve_pres, Cve_ori "
                     "HAVING count(*) > 1) AS repeated")[0][0]
                .asInteger(),
            0);
  const std::int64_t saved =
      server.run("SELECT count(*) FROM Reg_Pre WHERE Fecha=#2006/7/21#")[0][0].asInteger();
  EXPECT_EQ(saved, kProducts);
  EXPECT_EQ(counts, std::to_string(saved) + "\n" + std::to_string(saved) + "\n");
}

}  // namespace
