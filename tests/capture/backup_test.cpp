#include <filesystem>
#include <fstream>

#include "capture_fixture.h"
#include "faulty_vfs.h"
#include "session/startup.h"
#include "store/backup.h"
#include "without_rights.h"

#include <sqlite3.h>

namespace {

namespace fs = std::filesystem;

class StartBackup : public CaptureScreen {
 protected:
  fs::path backups() const { return folder.path() / "respaldos"; }
  fs::path todays() const { return backups() / "TARVELcaptura-2006-07-21.mdb"; }
  void addOldRecords() {
    sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Obs) VALUES ('GRA', '2006-06-01', 'old'), "
        "('FRU', '2006-07-10', 'old'), ('GRA', '2006-07-20', 'new')");
  }
  // Signs in expecting one message, and returns it.
  std::string startTold() {
    std::string told;
    const auto ignore_rest = [&] {
      host.answerNext<forms::MessageForm>([&](forms::MessageForm& message) {
        told = message.LabelMensaje.caption;
        message.keyPress(13);
      });
    };
    start("Granos y Semillas", "005", ignore_rest);
    return told;
  }
};

// The copy holds what the purge then deletes, passes the engine's check, and brought back in
// place of the file it is a working database the program starts on. Seven days are kept.
TEST_F(StartBackup, TheStartCopiesTheFileBeforeItPurgesAndKeepsSevenDays) {
  fs::create_directories(backups());
  for (const char* day : {"2006-07-12", "2006-07-13", "2006-07-14", "2006-07-15", "2006-07-16",
                          "2006-07-17", "2006-07-18", "2006-07-19"}) {
    std::ofstream(backups() / ("TARVELcaptura-" + std::string(day) + ".mdb")) << "earlier";
  }
  std::ofstream(backups() / "notas.txt") << "of the office";
  addOldRecords();
  start("Granos y Semillas");
  EXPECT_EQ(rows("Obs='old'"), 0);

  ASSERT_TRUE(fs::exists(todays()));
  EXPECT_FALSE(fs::exists(backups() / "TARVELcaptura-2006-07-12.mdb"));
  EXPECT_FALSE(fs::exists(backups() / "TARVELcaptura-2006-07-13.mdb"));
  EXPECT_TRUE(fs::exists(backups() / "TARVELcaptura-2006-07-14.mdb"));
  EXPECT_TRUE(fs::exists(backups() / "notas.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(backups()), fs::directory_iterator()), 8);

  // Brought back as the README says: the copy in place of the file.
  fs::copy_file(todays(), store::databasePath(folder.path()), fs::copy_options::overwrite_existing);
  EXPECT_EQ(session::databaseProblem(folder.path()), std::nullopt);
  EXPECT_EQ(rows("Obs='old'"), 2);
  start("Granos y Semillas");
  EXPECT_EQ(rows("Obs='old'"), 0) << "the restored file is purged again, after its own copy";
  EXPECT_EQ(rows("Obs='new'"), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(backups()), fs::directory_iterator()), 8)
      << "one copy a day";
}

TEST_F(StartBackup, AStartThatDeletesNothingMakesNoCopy) {
  sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Obs) VALUES ('GRA', '2006-07-20', 'new')");
  start("Granos y Semillas");
  EXPECT_FALSE(fs::exists(backups()));
}

// Without a checked copy nothing is deleted, the operator is told why, and no partial copy
// is left behind; the next start that can copy purges.
TEST_F(StartBackup, AFailedCopyLeavesEveryRecordInPlace) {
  addOldRecords();
  const auto all = rows();
  {
    testing_support::FaultyVfs vfs;
    vfs.arm(testing_support::FaultAt::Write, 1, SQLITE_FULL, "respaldos");
    const std::string told = startTold();
    EXPECT_TRUE(vfs.struck());
    EXPECT_NE(told.find(todays().string()), std::string::npos) << told;
    EXPECT_NE(told.find("No se borró ningún registro"), std::string::npos) << told;
  }
  EXPECT_EQ(rows(), all);
  EXPECT_TRUE(fs::is_empty(backups()));

  // A folder the operator may not write in.
  fs::permissions(folder.path(), fs::perms::all);
  fs::permissions(store::databasePath(folder.path()), fs::perms::owner_all | fs::perms::group_all |
                                                          fs::perms::others_read |
                                                          fs::perms::others_write);
  fs::permissions(backups(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
  const std::string told = testing_support::withoutRights([&] { return startTold(); });
  EXPECT_NE(told.find("copiar la base de datos a " + todays().string()), std::string::npos) << told;
  EXPECT_EQ(rows(), all);
  EXPECT_TRUE(fs::is_empty(backups()));

  start("Granos y Semillas");
  EXPECT_TRUE(fs::exists(todays()));
  EXPECT_EQ(rows("Obs='old'"), 0);
}

}  // namespace
