#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "forms/question_form.h"
#include "station.h"

namespace {

constexpr int kProducts = 6;
constexpr int kPhases = 4;

// Blocks until the parent closes the write end of `go`.
void waitFor(int go) {
  char signal = 0;
  if (read(go, &signal, 1) < 0) _exit(4);
}

void tell(int report, const std::string& line) {
  const std::string text = line + "\n";
  if (write(report, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(3);
}

// One station (`number` 0 or 1), each phase started by the parent for both at once:
// 1. saves the same product keys as the other station, in the same order;
// 2. after a rebuild, changes the observation of the records at its own positions (even
//    for station 0, odd for station 1);
// 3. deletes one record without passing over others: station 0 the first, station 1 the
//    last, where its last change left it;
// 4. rebuilds and reports how many records of the day it shows. Never returns.
[[noreturn]] void runStation(const std::filesystem::path& folder, std::array<int, kPhases> go,
                             int report, int number) {
  server_tests::Station station(folder);
  capture::Captura& c = station.screen;

  waitFor(go[0]);
  // The list names each product twice (by name and by key); each is saved once.
  std::vector<std::int32_t> chosen;
  for (int item = 0; static_cast<int>(chosen.size()) < kProducts; ++item) {
    const std::int32_t product = c.ComboProd.itemData(item);
    if (std::find(chosen.begin(), chosen.end(), product) != chosen.end()) continue;
    chosen.push_back(product);
    c.choose(c.ComboProd, item);
    c.choose(c.ComboPres, 0);
    c.choose(c.ComboOri, 0);
    c.type(c.TextMin, std::to_string(100 + 50 * number + item));
    c.type(c.TextMax, std::to_string(200 + 50 * number + item));
    c.type(c.TextFrec, std::to_string(150 + 50 * number + item));
    c.click(c.CmdGrabar);
  }
  tell(report, "saved");

  waitFor(go[1]);
  // A save refused as a duplicate leaves its typing on screen; the rebuild discards it.
  const auto discardTyping = [&] {
    station.host.answerNext<forms::QuestionForm>(
        [](forms::QuestionForm& question) { question.click(question.cmdSi); });
  };
  discardTyping();
  c.clickMenu(c.Frutas);
  for (int position = 1 + (1 - number); position <= kProducts; position += 2) {
    c.click(c.cmdPrimero);
    for (int i = 1; i < position; ++i) c.click(c.cmdSiguiente);
    c.type(c.TextObs, "estación " + std::to_string(number));
    c.click(c.CmdGrabar);
  }
  tell(report, "changed");

  waitFor(go[2]);
  // Station 1's last change moved it on to the last record, which it deletes where it is.
  if (number == 0) c.click(c.cmdPrimero);
  c.click(c.CmdBorrar);
  tell(report, "deleted");

  waitFor(go[3]);
  discardTyping();
  c.clickMenu(c.Frutas);
  tell(report, std::to_string(c.records.count()));
  _exit(0);
}

// Two stations saving, changing and deleting in the same module, destination and day at
// the same moments: each key is saved once (the duplicate check and the insert run
// serialised), no change is lost, and both screens show the day as it is after a rebuild.
TEST(Stations, TwoStationsAtOnceNeverMakeADuplicateOrLoseAChange) {
  const server_tests::ServerFolder on_server;
  on_server.database.connect().runNative("DELETE FROM Reg_Pre WHERE Fecha = '2006-07-21'");

  std::array<std::array<int, 2>, kPhases> go{};
  int report[2];
  for (auto& phase : go) ASSERT_EQ(pipe(phase.data()), 0);
  ASSERT_EQ(pipe(report), 0);
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      for (auto& phase : go) close(phase[1]);
      close(report[0]);
      runStation(on_server.folder.path(), {go[0][0], go[1][0], go[2][0], go[3][0]}, report[1], i);
    }
  }
  for (auto& phase : go) close(phase[0]);
  close(report[1]);
  FILE* lines = fdopen(report[0], "r");
  ASSERT_NE(lines, nullptr);
  std::vector<std::string> told;
  const auto collect = [&](int count) {
    char line[64];
    for (int i = 0; i < count && std::fgets(line, sizeof line, lines); ++i) {
      told.emplace_back(line);
    }
  };
  // Each phase starts for both stations at once, after both finished the one before.
  for (int phase = 0; phase < kPhases; ++phase) {
    close(go[phase][1]);
    collect(2);
  }
  std::fclose(lines);
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  store::Connection server = on_server.database.connect();
  std::vector<std::string> observations;
  for (const store::Row& row :
       server.run("SELECT Obs FROM Reg_Pre WHERE Fecha=#2006/7/21# ORDER BY Obs")) {
    observations.push_back(row[0].asText());
  }
  // Four records remain, each changed by the station whose position it had.
  EXPECT_EQ(observations,
            (std::vector<std::string>{"estación 0", "estación 0", "estación 1", "estación 1"}));
  EXPECT_EQ(told, (std::vector<std::string>{"saved\n", "saved\n", "changed\n", "changed\n",
                                            "deleted\n", "deleted\n", "4\n", "4\n"}));
}

}  // namespace

namespace {

// Shows record `position` of the day and chooses origin `origin` for it.
void changeOrigin(capture::Captura& c, int position, std::int64_t origin) {
  c.click(c.cmdPrimero);
  for (int i = 1; i < position; ++i) c.click(c.cmdSiguiente);
  for (int item = 0; item < c.ComboOri.listCount(); ++item) {
    if (c.ComboOri.itemData(item) == origin) c.choose(c.ComboOri, item);
  }
}

// Two stations change two records to the same identity, the second one's check and update
// forced between the first one's check and its update: the first is run again and refused
// as a duplicate, so the day never holds the identity twice.
TEST(Stations, TwoChangesToOneIdentityNeverBothPass) {
  const server_tests::ServerFolder on_server;
  store::Connection db = on_server.database.connect();
  db.runNative("DELETE FROM Reg_Pre");
  for (const char* origin : {"3", "5"}) {
    testing_support::insert(
        db, "Reg_Pre",
        {"Cve_del", "Cve_Mod", "Fecha", "Cve_prod", "Cve_ori", "Cve_des", "Cve_pres", "Pre_min",
         "Pre_max", "Pre_frec", "Pre_uni"},
        {{"5", "FRU", "2006-07-21", "1", origin, "10", "1", "100", "120", "110", "0"}});
  }
  server_tests::Station first(on_server.folder.path());
  server_tests::Station second(on_server.folder.path());
  ASSERT_EQ(first.screen.records.count(), 2);
  changeOrigin(first.screen, 1, 7);
  changeOrigin(second.screen, 2, 7);

  bool interleaved = false;
  first.state.database().observeStatements([&](std::string_view statement, const store::Row&) {
    if (interleaved || statement.find("UPDATE") == std::string_view::npos) return;
    interleaved = true;
    second.screen.click(second.screen.CmdGrabar);
  });
  first.host.modalForms.clear();
  first.screen.click(first.screen.CmdGrabar);
  first.state.database().observeStatements({});
  EXPECT_TRUE(interleaved);
  EXPECT_EQ(first.host.modalForms, std::vector<std::string>{"FormError"}) << "told: a duplicate";
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Reg_Pre WHERE Cve_ori = 7")[0][0].asInteger(), 1);
  EXPECT_EQ(db.runNative("SELECT count(*) FROM Reg_Pre")[0][0].asInteger(), 2);
}

}  // namespace
