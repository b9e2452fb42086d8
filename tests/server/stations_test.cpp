#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station.h"

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
// as a duplicate, so the day never holds the identity twice. The same for two new records.
TEST(Stations, TwoWritesOfOneIdentityNeverBothPass) {
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
  const auto count = [&](const std::string& where) {
    return db.runNative("SELECT count(*) FROM Reg_Pre" + where)[0][0].asInteger();
  };
  // `first` saves, and `second` saves whole just before `first` writes.
  const auto interleave = [](server_tests::Station& first, server_tests::Station& second,
                             const char* write) {
    bool interleaved = false;
    first.state.database().observeStatements([&](std::string_view statement, const store::Row&) {
      if (interleaved || statement.find(write) == std::string_view::npos) return;
      interleaved = true;
      second.screen.click(second.screen.CmdGrabar);
    });
    first.host.modalForms.clear();
    first.screen.click(first.screen.CmdGrabar);
    first.state.database().observeStatements({});
    EXPECT_TRUE(interleaved) << write;
    EXPECT_EQ(first.host.modalForms, std::vector<std::string>{"FormError"}) << "told: a duplicate";
  };
  server_tests::Station first(on_server.folder.path());
  server_tests::Station second(on_server.folder.path());
  ASSERT_EQ(first.screen.records.count(), 2);
  changeOrigin(first.screen, 1, 7);
  changeOrigin(second.screen, 2, 7);
  interleave(first, second, "UPDATE");
  EXPECT_EQ(count(" WHERE Cve_ori = 7"), 1);
  EXPECT_EQ(count(""), 2);

  server_tests::Station third(on_server.folder.path());
  server_tests::Station fourth(on_server.folder.path());
  for (server_tests::Station* station : {&third, &fourth}) {
    capture::Captura& c = station->screen;
    ASSERT_EQ(station->state.gRegNum, 3);
    for (int item = 0; item < c.ComboOri.listCount(); ++item) {
      if (c.ComboOri.itemData(item) == 1) c.choose(c.ComboOri, item);
    }
    c.type(c.TextMin, "100");
    c.type(c.TextMax, "120");
    c.type(c.TextFrec, "110");
  }
  interleave(third, fourth, "INSERT");
  EXPECT_EQ(count(" WHERE Cve_ori = 1"), 1);
  EXPECT_EQ(count(""), 3);
}

}  // namespace
