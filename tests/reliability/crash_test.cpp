// A process saving, changing and deleting records through the capture screen is killed at a
// random moment; whatever it acknowledged must be in the file, the file must be sound, and
// the program must start on it. TARVEL_CRASH_KILLS sets how many kills (scripts/stress: 1,000).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "capture/captura.h"
#include "generating/generate.h"
#include "headless_host.h"
#include "sign_in.h"
#include "store/archive.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/schema.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr forms::LocalDateTime kNow{2026, 3, 10, 9, 0, 0};
constexpr text::Date kToday{2026, 3, 10};

int killsWanted() {
  const char* wanted = std::getenv("TARVEL_CRASH_KILLS");
  return wanted ? std::max(1, std::atoi(wanted)) : 12;
}

// Signs in with delegation 5's key into "Frutas y Hortalizas".
std::unique_ptr<capture::Captura> startScreen(testing_support::HeadlessHost& host,
                                              session::SessionState& state) {
  auto screen = std::make_unique<capture::Captura>(host, state);
  testing_support::queueSignIn(host);
  screen->load();
  return screen;
}

void tell(int pipe_end, const std::string& line) {
  const std::string text = line + "\n";
  if (write(pipe_end, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(3);
}

// The child: random operations through the screen, each announced ("I ...") before it starts
// and acknowledged ("A ...") once the screen has come back from it. Never returns.
[[noreturn]] void work(const fs::path& folder, int pipe_end, unsigned seed) {
  testing_support::HeadlessHost host;
  host.folder = folder;
  host.clock = kNow;
  host.enterOnEveryModal = true;
  session::SessionState state;
  auto screen = startScreen(host, state);
  capture::Captura& c = *screen;
  std::mt19937 random(seed);
  for (int n = 1;; ++n) {
    const int saved = c.records.count();
    const auto choice = random() % 10;
    if (choice < 6 || saved == 0) {
      c.click(c.cmdUltimo);
      if (state.gRegNum <= saved) c.click(c.cmdSiguiente);
      const std::string price = std::to_string(1000 + n);
      tell(pipe_end, "I S");
      c.type(c.TextMin, price);
      c.type(c.TextMax, std::to_string(2000 + n));
      c.type(c.TextFrec, std::to_string(1500 + n));
      c.click(c.CmdGrabar);
      if (c.records.count() == saved + 1) {
        tell(pipe_end, "A S " + std::to_string(*c.records.keyAt(saved + 1)) + " " + price);
      } else {
        tell(pipe_end, "A N");  // refused (a repeated record): nothing written
      }
      continue;
    }
    const auto position = 1 + static_cast<int>(random() % static_cast<unsigned>(saved));
    c.click(c.cmdPrimero);
    for (int i = 1; i < position; ++i) c.click(c.cmdSiguiente);
    const std::string key = std::to_string(*c.records.keyAt(state.gRegNum));
    if (choice < 8) {
      const std::string note = "cambio " + std::to_string(n);
      tell(pipe_end, "I C " + key + " " + note);
      c.type(c.TextObs, note);
      c.click(c.CmdGrabar);
      tell(pipe_end, "A C " + key + " " + note);
    } else {
      tell(pipe_end, "I D " + key);
      c.click(c.CmdBorrar);
      tell(pipe_end, "A D " + key);
    }
  }
}

struct Tally {
  int saves = 0, changes = 0, deletes = 0, lost = 0, corrupt = 0;
};

// What the acknowledgements say the file must hold, checked against it.
void check(const fs::path& folder, const std::string& told, Tally& tally, int kill) {
  std::map<std::string, std::string> price_of;  // saved keys still there
  std::map<std::string, std::string> note_of;
  std::set<std::string> deleted;
  std::string in_flight;  // the announced operation that was not acknowledged
  std::istringstream lines(told);
  for (std::string line; std::getline(lines, line);) {
    if (lines.eof() && !told.empty() && told.back() != '\n') break;  // cut by the kill
    std::istringstream words(line);
    std::string mark, op, key, value;
    words >> mark >> op >> key;
    std::getline(words >> std::ws, value);
    if (mark == "I") {
      in_flight = line;
      continue;
    }
    in_flight.clear();
    if (op == "S") {
      price_of[key] = value;
      ++tally.saves;
    } else if (op == "C") {
      note_of[key] = value;
      ++tally.changes;
    } else if (op == "D") {
      price_of.erase(key);
      note_of.erase(key);
      deleted.insert(key);
      ++tally.deletes;
    }
  }
  const std::string flight_key =
      in_flight.size() > 4 ? in_flight.substr(4, in_flight.find(' ', 4) - 4) : "";

  auto db = store::Connection::open(store::databasePath(folder));
  if (db.runNative("PRAGMA integrity_check")[0][0].asText() != "ok") {
    ++tally.corrupt;
    ADD_FAILURE() << "kill " << kill << ": the file is corrupt";
  }
  std::map<std::string, store::Row> today;
  for (const auto& row : db.runNative("SELECT Consec, Pre_min, Obs, Cve_Mod, Cve_prod, Cve_des, "
                                      "Pre_max, Pre_frec FROM Reg_Pre WHERE Fecha='2026-03-10'")) {
    today[row[0].asText()] = row;
    for (std::size_t column = 1; column < row.size(); ++column) {
      if (column != 2 && row[column].isNull()) {
        ++tally.corrupt;
        ADD_FAILURE() << "kill " << kill << ": record " << row[0].asText() << " is half-written";
      }
    }
  }
  for (const auto& [key, price] : price_of) {
    const auto found = today.find(key);
    const bool deleting = in_flight.rfind("I D ", 0) == 0 && flight_key == key;
    if (found == today.end()) {
      if (!deleting) {
        ++tally.lost;
        ADD_FAILURE() << "kill " << kill << ": saved record " << key << " is lost";
      }
      continue;
    }
    if (found->second[1].asText() != price) {
      ++tally.lost;
      ADD_FAILURE() << "kill " << kill << ": record " << key << " lost its price";
    }
    const auto note = note_of.find(key);
    const bool changing = in_flight.rfind("I C ", 0) == 0 && flight_key == key;
    if (note != note_of.end() && found->second[2].asText() != note->second && !changing) {
      ++tally.lost;
      ADD_FAILURE() << "kill " << kill << ": the change of record " << key << " is lost";
    }
  }
  for (const std::string& key : deleted) {
    if (today.count(key) != 0) {
      ++tally.lost;
      ADD_FAILURE() << "kill " << kill << ": deleted record " << key << " is back";
    }
  }

  // The program starts on the file and counts the day's records of the destination.
  testing_support::HeadlessHost host;
  host.folder = folder;
  host.clock = kNow;
  host.enterOnEveryModal = true;
  session::SessionState state;
  const auto screen = startScreen(host, state);
  const auto shown = db.runNative(
      "SELECT count(*) FROM Reg_Pre WHERE Fecha='2026-03-10' AND Cve_Mod='FRU' AND Cve_des=1");
  EXPECT_EQ(screen->records.count(), shown[0][0].asInteger()) << "kill " << kill;
}

TEST(Crash, AKilledSessionLosesNothingItAcknowledgedAndLeavesASoundFile) {
  testing_support::TempFolder folder;
  const fs::path file = store::databasePath(folder.path());
  {
    auto db = store::Connection::create(folder.path() / "pristine.mdb");
    tarvel_db::generateStore(db, {.records = 3000, .days = 2, .seed = 5}, kToday);
  }
  std::mt19937 random(20261206);
  Tally tally;
  const int kills = killsWanted();
  for (int kill = 1; kill <= kills; ++kill) {
    fs::copy_file(folder.path() / "pristine.mdb", file, fs::copy_options::overwrite_existing);
    fs::remove(fs::path(file.string() + "-journal"));
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const unsigned seed = static_cast<unsigned>(random());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ends[0]);
      work(folder.path(), ends[1], seed);
    }
    close(ends[1]);
    usleep(static_cast<useconds_t>(20000 + random() % 400000));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::string told;
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) {
      told.append(buffer, static_cast<std::size_t>(got));
    }
    close(ends[0]);
    check(folder.path(), told, tally, kill);
  }
  std::cout << kills << " kills: " << tally.saves << " saves, " << tally.changes << " changes, "
            << tally.deletes << " deletes acknowledged; " << tally.lost << " lost, "
            << tally.corrupt << " corrupt\n";
  EXPECT_EQ(tally.lost, 0);
  EXPECT_EQ(tally.corrupt, 0);
}

// The keys of `table` in `file` whose rows equal the pristine file's row of the same key,
// column by column; every row of the table is counted in `all`.
std::set<std::int64_t> keysAsPristine(const fs::path& file, const std::string& table,
                                      const fs::path& pristine, std::size_t& all) {
  auto db = store::Connection::open(file);
  EXPECT_EQ(db.runNative("PRAGMA integrity_check")[0][0].asText(), "ok") << file;
  // An archive whose first purge was cut short after making the file holds no table yet.
  if (db.columnsOf(table).empty()) return {};
  all += static_cast<std::size_t>(db.runNative("SELECT count(*) FROM " + table)[0][0].asInteger());
  db.runNative("ATTACH DATABASE ? AS pristine", store::Row{store::Value(pristine.string())});
  std::string same =
      "SELECT t.Consec FROM " + table + " AS t JOIN pristine.Reg_Pre AS p ON p.Consec = t.Consec";
  for (const store::ColumnSpec& column : store::recordTable().columns) {
    same += " AND t." + std::string(column.name) + " IS p." + std::string(column.name);
  }
  std::set<std::int64_t> keys;
  for (const store::Row& row : db.runNative(same)) keys.insert(row[0].asInteger());
  db.runNative("DETACH DATABASE pristine");
  return keys;
}

// A start killed while it copies, archives and purges: every record of the file before it is
// in the file or in the archive, unchanged, and both files are sound.
TEST(Crash, AStartKilledWhilePurgingLeavesEveryRecordInTheFileOrTheArchive) {
  testing_support::TempFolder folder;
  const fs::path file = store::databasePath(folder.path());
  const fs::path pristine = folder.path() / "pristine.mdb";
  {
    auto db = store::Connection::create(pristine);
    tarvel_db::generateStore(db, {.records = 6000, .days = 40, .seed = 7}, kToday);
  }
  std::size_t records = 0;
  const std::set<std::int64_t> every = keysAsPristine(pristine, "Reg_Pre", pristine, records);
  const auto startOnce = [&](std::optional<int> kill_after_us) {
    fs::copy_file(pristine, file, fs::copy_options::overwrite_existing);
    fs::remove(fs::path(file.string() + "-journal"));
    fs::remove_all(folder.path() / store::kBackupFolderName);
    const auto began = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      testing_support::HeadlessHost host;
      host.folder = folder.path();
      host.clock = kNow;
      host.enterOnEveryModal = true;
      session::SessionState state;
      startScreen(host, state);
      _exit(0);
    }
    if (kill_after_us) {
      usleep(static_cast<useconds_t>(*kill_after_us));
      ::kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began);
  };
  const double whole = startOnce(std::nullopt).count();
  std::mt19937 random(20261207);
  int purged = 0;
  const int kills = killsWanted();
  for (int kill = 1; kill <= kills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    startOnce(static_cast<int>(random() % static_cast<unsigned>(whole * 1.2)));
    std::size_t held = 0;
    std::set<std::int64_t> kept = keysAsPristine(file, "Reg_Pre", pristine, held);
    EXPECT_EQ(kept.size(), held) << "a record of the file changed";
    const fs::path archive = store::archivePath(folder.path());
    if (fs::exists(archive)) {
      std::size_t archived = 0;
      const std::set<std::int64_t> moved = keysAsPristine(archive, "Historico", pristine, archived);
      EXPECT_EQ(moved.size(), archived) << "an archived record differs from the file's";
      if (held < records) ++purged;
      kept.insert(moved.begin(), moved.end());
    }
    EXPECT_EQ(kept, every) << "a record is in neither, or changed";
  }
  std::cout << kills << " kills of a purging start: " << purged << " after the purge\n";
}

}  // namespace
