#include <filesystem>
#include <fstream>

#include "capture_fixture.h"
#include "faulty_vfs.h"
#include "session/startup.h"
#include "store/archive.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/error.h"
#include "without_rights.h"

#include <sqlite3.h>

namespace {

namespace fs = std::filesystem;

class StartBackup : public CaptureScreen {
 protected:
  fs::path backups() const { return folder.path() / "respaldos"; }
  fs::path todays() const { return backups() / "TARVELcaptura-2006-07-21-080000.mdb"; }
  void addOldRecords() {
    sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Obs) VALUES ('GRA', '2006-06-01', 'old'), "
        "('FRU', '2006-07-10', 'old'), ('GRA', '2006-07-20', 'new')");
  }
  // Signs in expecting one message, and returns it.
  std::string startTold() {
    host.notices.clear();
    start("Granos y Semillas", "005", [this] { host.answerNotice(); });
    return host.notices.size() == 1 ? host.notices[0] : "";
  }
};

// The copy holds what the purge then deletes, passes the engine's check, and brought back in
// place of the file it is a working database the program starts on. Beyond the newest seven a
// copy goes once the archive holds every record its purge deleted, an earlier version's copy
// too; one that cannot be read stays.
TEST_F(StartBackup, EveryPurgeHasItsCopyAndNoPurgedRecordIsLeftInNone) {
  addOldRecords();
  const fs::path file = store::databasePath(folder.path());
  const auto copyOf = [&](const std::string& stamp) {
    store::backUpDatabase(file, backups() / ("TARVELcaptura-2006-07-" + stamp + ".mdb"));
  };
  const auto archived = [&](const std::string& obs) {
    return store::Connection::open(store::archivePath(folder.path()))
        .runNative("SELECT count(*) FROM Historico WHERE Obs = ?", store::Row{store::Value(obs)})
        .at(0)
        .at(0)
        .asInteger();
  };
  // An earlier version's copy of the 9th, and the copies of the 10th and of the 12th, each
  // hold a record their purge deleted on the very day it reached (30 days back, 7 for fruit);
  // no later copy has it.
  for (int day = 9; day <= 18; ++day) {
    if (day == 9 || day == 10 || day == 12) {
      sql(std::string("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Obs) VALUES ") +
          (day == 9    ? "('GRA', '2006-06-09', 'earlier')"
           : day == 10 ? "('GRA', '2006-06-10', 'only there')"
                       : "('FRU', '2006-07-05', 'only there')"));
    }
    copyOf(day == 9 ? "09" : std::to_string(day) + "-080000");
    sql("DELETE FROM Reg_Pre WHERE Obs IN ('only there', 'earlier')");
  }
  std::ofstream(backups() / "TARVELcaptura-2006-07-08.mdb") << "a copy that cannot be read";
  std::ofstream(backups() / "notas.txt") << "of the office";
  // Names the program never gives are left alone and do not stop the start.
  const std::string strange[] = {"TARVELcaptura-2006-07-01-101010-99999999999.mdb",
                                 "TARVELcaptura-2006-13-45.mdb"};
  for (const std::string& name : strange) std::ofstream(backups() / name) << "not a copy";

  start("Granos y Semillas", "005");
  EXPECT_EQ(rows("Obs='old'"), 0);
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(captura->LabelPurgeNews.caption,
            "Se borraron 2 registros de más de 30 días (de más de 7 en Frutas y Hortalizas) y "
            "pasaron al archivo histórico.\nEl archivo histórico y la copia completa están en " +
                backups().string() + ".");
  ASSERT_TRUE(fs::exists(todays()));
  for (const char* kept :
       {"13-080000", "14-080000", "15-080000", "16-080000", "17-080000", "18-080000", "08"}) {
    EXPECT_TRUE(fs::exists(backups() / ("TARVELcaptura-2006-07-" + std::string(kept) + ".mdb")))
        << kept;
  }
  for (const char* removed : {"12-080000", "11-080000", "10-080000", "09"}) {
    EXPECT_FALSE(fs::exists(backups() / ("TARVELcaptura-2006-07-" + std::string(removed) + ".mdb")))
        << removed << ": what its purge deleted is in the archive";
  }
  EXPECT_EQ(archived("old"), 2);
  EXPECT_EQ(archived("only there"), 2);
  EXPECT_EQ(archived("earlier"), 1);
  EXPECT_TRUE(fs::exists(backups() / "notas.txt"));
  for (const std::string& name : strange) EXPECT_TRUE(fs::exists(backups() / name)) << name;

  // Brought back as the README says: the copy in place of the file.
  fs::copy_file(todays(), file, fs::copy_options::overwrite_existing);
  EXPECT_EQ(session::databaseProblem(folder.path()), std::nullopt);
  EXPECT_EQ(rows("Obs='old'"), 2);
  start("Granos y Semillas", "005");
  EXPECT_EQ(rows("Obs='old'"), 0) << "the restored file is purged again, after its own copy";
  EXPECT_EQ(rows("Obs='new'"), 1);
  EXPECT_TRUE(fs::exists(backups() / "TARVELcaptura-2006-07-21-080000-2.mdb"))
      << "a second purge in the same second has a copy of its own";
  EXPECT_TRUE(fs::exists(todays()));
  EXPECT_EQ(archived("old"), 2) << "a record archived again is not archived twice";
}

// A damaged copy is caught before the purge relies on it.
TEST_F(StartBackup, ACopyThatFailsItsCheckIsNotABackup) {
  addOldRecords();
  fs::create_directories(backups());
  const fs::path damaged = backups() / "damaged.mdb";
  store::backUpDatabase(store::databasePath(folder.path()), damaged);
  {
    std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(fs::file_size(damaged) / 2));
    const std::string garbage(4096, '\x5a');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  EXPECT_THROW(store::backUpDatabase(damaged, backups() / "again.mdb"), store::StoreError);
  EXPECT_FALSE(fs::exists(backups() / "again.mdb"));
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

  start("Granos y Semillas", "005");
  EXPECT_TRUE(fs::exists(todays()));
  EXPECT_EQ(rows("Obs='old'"), 0);
}

}  // namespace

namespace {

// A backup brought back in place of the file while the program runs is what the next event
// reads and writes: the kept connection is opened again on the file now there.
TEST_F(StartBackup, AFileBroughtBackMidSessionIsTheOneUsed) {
  capture::Captura& c = start("Frutas y Hortalizas");
  const fs::path file = store::databasePath(folder.path());
  const fs::path copy = folder.path() / "copia.mdb";
  fs::copy_file(file, copy);
  const int before = c.records.count();
  host.enterOnEveryModal = true;  // a variation warning, if any
  c.type(c.TextMin, "100");
  c.type(c.TextMax, "120");
  c.type(c.TextFrec, "110");
  c.click(c.CmdGrabar);
  ASSERT_EQ(c.records.count(), before + 1);
  fs::rename(copy, file);
  menu(c.Frutas);
  EXPECT_EQ(c.records.count(), before);
}

}  // namespace
