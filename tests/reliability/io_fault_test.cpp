// Every read, write, sync and lock along an operator event fails in turn: the program never
// crashes, and either finishes the event as it would without the fault or tells the operator
// and leaves the screen, the session and the files as they were; with the fault lifted the
// file is sound and the same event succeeds.
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "capture_fixture.h"
#include "faulty_vfs.h"
#include "outputs/day_output_files.h"
#include "sign_in.h"
#include "store/archive.h"
#include "store/backup.h"
#include "store/connection.h"
#include "text/money.h"

namespace {

namespace fs = std::filesystem;
using testing_support::FaultAt;

struct Fault {
  FaultAt at;
  int code;
  const char* name;
};
constexpr Fault kFaults[] = {{FaultAt::Read, SQLITE_IOERR_READ, "read"},
                             {FaultAt::Write, SQLITE_FULL, "write (disk full)"},
                             {FaultAt::Write, SQLITE_READONLY, "write (read-only)"},
                             {FaultAt::Sync, SQLITE_IOERR_FSYNC, "sync"},
                             {FaultAt::Lock, SQLITE_BUSY, "lock (busy)"},
                             {FaultAt::Lock, SQLITE_IOERR_LOCK, "lock (error)"}};

class IoFaults : public CaptureScreen {
 protected:
  void SetUp() override {
    CaptureScreen::SetUp();
    host.enterOnEveryModal = true;
    // Saved records of the day to change and delete, and old ones for the start's purge.
    addRows({{.date = "2006-07-21", .product = 1}, {.date = "2006-07-21", .product = 3}});
    sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha) VALUES ('GRA', '2006-05-01'), ('FRU', "
        "'2006-07-01')");
    fs::copy_file(store::databasePath(folder.path()), pristine());
  }

  fs::path pristine() const { return folder.path() / "pristine.mdb"; }

  // A fresh file and, unless the event is the start itself, the program signed in on it
  // (without faults) and `prepare` done.
  void freshStart(const std::function<void(capture::Captura&)>& prepare) {
    for (const char* output : {"Reporte.htm", "5FRU.csv"}) fs::remove(folder.path() / output);
    fs::remove_all(folder.path() / store::kBackupFolderName);
    fs::copy_file(pristine(), store::databasePath(folder.path()),
                  fs::copy_options::overwrite_existing);
    fs::remove(fs::path(store::databasePath(folder.path()).string() + "-journal"));
    host.modalForms.clear();
    if (!prepare) return;
    patientStart();
    prepare(*captura);
  }

  // Signs in as an operator does when the access screen meets a fault.
  void patientStart() {
    state = std::make_unique<session::SessionState>();
    captura = std::make_unique<capture::Captura>(host, *state);
    outputs = std::make_unique<outputs::DayOutputFiles>(host, *state);
    captura->useOutputs(*outputs);
    testing_support::queueSignIn(host);
    captura->load();
  }

  // The amount a price box holds, however it is written yet ("110" or "110.00"; a box left
  // with zero shows nothing).
  static std::string amount(const forms::TextBox& box) {
    const auto value = text::readPrice(box.text.empty() ? "0" : box.text);
    return value ? text::plainNumber(*value) : box.text;
  }

  // What the file and the output files hold.
  std::string data() {
    std::string held =
        store::run(folder.path(), "SELECT count(*) FROM Reg_Pre")[0][0].asText() + "\n" +
        testing_support::rowsText(store::run(
            folder.path(), "SELECT * FROM Reg_Pre WHERE Fecha='2006-07-21' ORDER BY Consec"));
    for (const char* output : {"Reporte.htm", "5FRU.csv"}) {
      held +=
          std::string(output) + ": " + testing_support::fileContents(folder.path() / output) + "\n";
    }
    return held;
  }

  // What the operator sees and the session keeps.
  std::string screen() {
    const capture::Captura& c = *captura;
    return std::to_string(state->gRegNum) + " " + std::to_string(state->gPosCanasta) + " " +
           std::to_string(state->gConsecutivo) + " " + std::to_string(c.records.count()) + " " +
           c.LblRegNum.caption + " " + c.Label1.caption + " " + c.CmdGrabar.caption + " [" +
           amount(c.TextMin) + "|" + amount(c.TextMax) + "|" + amount(c.TextFrec) + "|" +
           c.TextObs.text + "] " + std::to_string(c.ComboProd.listIndex()) + " " +
           std::to_string(c.ComboPres.listIndex());
  }

  static std::int64_t countOf(const std::string& held) { return std::stoll(held); }

  // The record keys of the file and of the archive together, each once; the archive sound.
  std::set<std::int64_t> keptRecords() {
    std::set<std::int64_t> kept;
    for (const store::Row& row : store::run(folder.path(), "SELECT Consec FROM Reg_Pre")) {
      kept.insert(row[0].asInteger());
    }
    if (!fs::exists(store::archivePath(folder.path()))) return kept;
    store::Connection archive = store::Connection::open(store::archivePath(folder.path()));
    EXPECT_EQ(archive.runNative("PRAGMA integrity_check")[0][0].asText(), "ok");
    for (const store::Row& row : archive.runNative("SELECT Consec FROM Historico")) {
      EXPECT_TRUE(kept.insert(row[0].asInteger()).second) << "in the file and the archive";
    }
    return kept;
  }

  // How many messages the operator has been shown (the access screen is no message).
  std::size_t messagesShown() const {
    return static_cast<std::size_t>(
        std::count_if(host.modalForms.begin(), host.modalForms.end(),
                      [](const std::string& name) { return name != "frmClaveAcceso"; }));
  }

  // Runs `event` after `prepare` with each fault at every k until the event no longer reaches
  // the k-th operation. Each run ends in one of three ways: as without the fault; told and
  // with nothing changed; or told that a step after the event's writing failed, with the
  // writing whole. Without `prepare` the event is the start, whose purge runs two statements
  // that each commit: a fault may leave the second undone until the next start.
  void everyFault(const std::function<void(capture::Captura&)>& prepare,
                  const std::function<void()>& event) {
    const auto day = [&](const std::string& held) {
      return prepare ? held : held.substr(held.find('\n'));
    };
    freshStart(prepare);
    const std::set<std::int64_t> all_records = prepare ? std::set<std::int64_t>{} : keptRecords();
    event();
    const std::string done_data = data();
    const std::string done_screen = screen();
    for (const Fault& fault : kFaults) {
      for (int k = 1;; ++k) {
        SCOPED_TRACE(std::string(fault.name) + " #" + std::to_string(k));
        freshStart(prepare);
        const std::string before_data = data();
        const std::string before_screen = prepare ? screen() : "";
        const std::size_t messages = messagesShown();
        vfs.arm(fault.at, k, fault.code);
        event();
        vfs.disarm();
        const bool struck = vfs.struck();
        const bool told = messagesShown() > messages;
        const std::string after_data = data();
        if (day(after_data) == day(before_data) && day(after_data) != day(done_data)) {
          EXPECT_TRUE(told) << "the operator was not told";
          if (prepare) {
            EXPECT_EQ(screen(), before_screen);
          }
          event();  // with the fault lifted the same event succeeds
          EXPECT_EQ(data(), done_data);
        } else {
          EXPECT_EQ(day(after_data), day(done_data)) << "half written";
          if (screen() != done_screen || after_data != done_data) {
            EXPECT_TRUE(told) << "the operator was not told";
          }
          if (!prepare) {
            EXPECT_GE(countOf(after_data), countOf(done_data));
            EXPECT_LE(countOf(after_data), countOf(before_data));
            event();  // the next start finishes the purge
            EXPECT_EQ(data(), done_data);
          }
        }
        EXPECT_EQ(store::run(folder.path(), "PRAGMA integrity_check")[0][0].asText(), "ok");
        if (!prepare) {
          EXPECT_EQ(keptRecords(), all_records) << "a record in neither";
        }
        if (!struck) break;
      }
    }
  }

  testing_support::FaultyVfs vfs;
  std::unique_ptr<outputs::DayOutputFiles> outputs;
};

TEST_F(IoFaults, SavingANewRecord) {
  everyFault(
      [this](capture::Captura& c) {
        typePrices("100", "120", "110");
        (void)c;
      },
      [this] { captura->click(captura->CmdGrabar); });
}

TEST_F(IoFaults, ChangingAndDeletingARecord) {
  const auto onFirst = [](capture::Captura& c) {
    c.click(c.cmdPrimero);
    c.type(c.TextObs, "revisado");
  };
  everyFault(onFirst, [this] { captura->click(captura->CmdGrabar); });
  everyFault(onFirst, [this] { captura->click(captura->CmdBorrar); });
}

TEST_F(IoFaults, TheReportAndTheExport) {
  const auto nothing = [](capture::Captura&) {};
  everyFault(nothing, [this] { captura->click(captura->CmdReporte); });
  everyFault(nothing, [this] { captura->click(captura->CmdGenera); });
}

// The first start after days away: sign-in, the purge of old records, the lists.
TEST_F(IoFaults, TheStartWithItsPurge) {
  everyFault({}, [this] { patientStart(); });
}

}  // namespace
