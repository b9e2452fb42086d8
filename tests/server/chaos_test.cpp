// Three stations (processes) of two delegations save, change and delete through the capture
// screen on one server database prepared for several delegations, each as its delegation's
// role, while the server's connections are cut, the server is restarted (fast and immediate)
// and paused past the stations' time limit. Afterwards every operation a station was told had
// been done is there, under its station's delegation, and in the audit log; no two records
// share an identity, the key counter never went back, no operation outlasted its time limits
// and every station still works; each delegation's export of the day is the file its program
// writes from a file holding the same records.
// TARVEL_CHAOS_FAULTS sets how many faults (scripts/stress --server: 1,000). The test starts
// a server of its own: it restarts and pauses it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "capture/price_record.h"
#include "outputs/day_output_files.h"
#include "station.h"
#include "store/schema.h"
#include "store/server_security.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kStations = 3;
// The stations' waits (espera_conexion, espera_respuesta) and the longest an operation may
// take with them: a statement given up on, a new connection and the read-back of a commit
// whose answer was lost, each with the client's grace.
constexpr int kWaitSeconds = 1;
constexpr long kLongestOperationMs = 12000;

int faultsWanted() {
  const char* wanted = std::getenv("TARVEL_CHAOS_FAULTS");
  return wanted ? std::max(1, std::atoi(wanted)) : 8;
}

int runServerScript(const std::string& arguments) {
  return std::system((std::string(TARVEL_PG_SERVER) + " " + arguments).c_str());
}

// The test's own server, stopped and removed when the test ends.
struct OwnServer {
  OwnServer() : folder("/tmp/tarvel-chaos-" + std::to_string(getpid())) {
    if (runServerScript("start " + folder) != 0) throw std::runtime_error("no server");
    setenv("TARVEL_TEST_SERVER", folder.c_str(), 1);
  }
  ~OwnServer() { runServerScript("stop " + folder); }
  std::string folder;
};

bool listed(const capture::Captura& c, std::int64_t key) {
  for (int i = 1; i <= c.records.count(); ++i) {
    if (c.records.keyAt(i) == key) return true;
  }
  return false;
}

void tell(int log, const std::string& line) {
  const std::string text = line + "\n";
  if (write(log, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(3);
}

// What the screen says of an operation that failed: "F" when it says that `doing` could not
// be done, "U" when the program could not find out whether it was, or when something else
// failed on the way (reading the record or the list shown next), which leaves the operator
// to look; "" when nothing failed.
std::string failure(const testing_support::HeadlessHost& host, std::size_t notices_before,
                    const std::string& doing) {
  std::string told;
  for (std::size_t i = notices_before; i < host.notices.size(); ++i) {
    if (host.notices[i].find("no se pudo saber") != std::string::npos) return "U";
    if (host.notices[i].rfind("No se pudo " + doing, 0) == 0) {
      told = "F";
    } else if (host.notices[i].rfind("No se pudo", 0) == 0 && told.empty()) {
      told = "U";
    }
  }
  return told;
}

// Station `number`'s delegation: two delegations work on the server at once.
int delegationOf(int number) {
  return number % 2 == 0 ? 12 : 5;
}

// One station, working in `folder` for its delegation: signs in, says so ("R"), waits for
// `go` in `logs`, then works through the screen at random until `stop` appears there, each
// operation written to its log as "<outcome> <operation> <key> <price> <note> <milliseconds>"
// (A done, F not done, U not known; - for none); then its screen must reach the database
// again ("W ok"). Never returns.
[[noreturn]] void work(const fs::path& folder, const fs::path& logs, int number, unsigned seed) {
  const int log = open((logs / ("station" + std::to_string(number))).c_str(),
                       O_WRONLY | O_CREAT | O_APPEND, 0644);
  server_tests::Station station(folder, delegationOf(number) == 5 ? "005" : "012");
  capture::Captura& c = station.screen;
  testing_support::HeadlessHost& host = station.host;
  std::mt19937 random(seed);
  const auto pick = [&](int count) { return static_cast<int>(random() % count); };
  // What the screen says of an operation counts from its last click: a notice of the moves
  // before it is not the operation's.
  std::size_t notices = 0;
  const auto act = [&](forms::CommandButton& button) {
    notices = host.notices.size();
    c.click(button);
  };
  const auto save = [&](int n) {
    const int saved = c.records.count();
    c.click(c.cmdUltimo);
    if (station.state.gRegNum <= saved) c.click(c.cmdSiguiente);
    // A move the database refused leaves a saved record on screen: what is typed now would
    // change it, which is not this operation.
    if (station.state.gRegNum <= saved) return std::string("X");
    if (c.ComboProd.enabled && c.ComboProd.listCount() > 0) {
      c.choose(c.ComboProd, pick(c.ComboProd.listCount()));
    }
    for (forms::ComboBox* list : {&c.ComboPres, &c.ComboOri}) {
      if (list->enabled && list->listCount() > 0) c.choose(*list, pick(list->listCount()));
    }
    const std::string price = std::to_string(1000 + n);
    c.type(c.TextMin, price);
    c.type(c.TextMax, std::to_string(2000 + n));
    c.type(c.TextFrec, std::to_string(1500 + n));
    // Typing here enters the box in the same event, and entering the minimum reads its
    // earlier prices: an event that gave up on the database is undone whole, typing
    // included. What a save writes is what the box shows, which is then not this price.
    const std::optional<std::string> shown = capture::amountOf(c.TextMin.text);
    if (!shown || std::stod(*shown) != 1000 + n) return std::string("X");
    const std::string note = c.TextObs.text.empty() ? "-" : c.TextObs.text;
    act(c.CmdGrabar);
    // The screen shows a saved record only once the database holds it.
    if (c.records.count() == saved + 1) {
      return "A S " + std::to_string(*c.records.keyAt(saved + 1)) + " " + price + " " + note;
    }
    const std::string told = failure(host, notices, "grabar el registro");
    return (told == "U" ? "U" : "F") + std::string(" S - ") + price + " " + note;
  };
  tell(log, "R");
  while (!fs::exists(logs / "go")) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  for (int n = 1; !fs::exists(logs / "stop"); ++n) {
    const auto start = Clock::now();
    std::string done;
    const int saved = c.records.count();
    const int choice = pick(10);
    if (choice < 5 || saved == 0) {
      done = save(n);
    } else {
      c.click(c.cmdPrimero);
      for (int i = pick(saved); i > 0; --i) c.click(c.cmdSiguiente);
      const auto position = station.state.gRegNum;
      const std::optional<std::int64_t> shown = c.records.keyAt(position);
      // A move the database refused may leave the new record's place on screen.
      if (!shown) continue;
      const std::int64_t key = *shown;
      std::string told;
      if (choice < 7) {
        const std::string note = "s" + std::to_string(number) + "c" + std::to_string(n);
        c.type(c.TextObs, note);
        act(c.CmdGrabar);
        // A refused change stays on screen to be corrected; one that was made moves on (to a
        // new record when the next was deleted by another station).
        told = failure(host, notices, "grabar el cambio");
        if (told.empty()) told = station.state.gRegNum == position ? "F" : "A";
        done = told + " C " + std::to_string(key) + " - " + note;
      } else {
        act(c.CmdBorrar);
        told = failure(host, notices, "eliminar el registro");
        if (told.empty()) told = listed(c, key) ? "F" : "A";
        done = told + " D " + std::to_string(key) + " - -";
      }
    }
    const auto took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (done != "X") tell(log, done + " " + std::to_string(static_cast<long>(took)));
  }
  // The same screen, with the server back, reaches the database again: a save is made, or
  // refused as a repeated record.
  for (int attempt = 1; attempt <= 20; ++attempt) {
    const std::string done = save(100000 + attempt);
    const bool reached =
        done != "X" &&
        (done[0] == 'A' || std::all_of(host.notices.begin() + static_cast<long>(notices),
                                       host.notices.end(), [](const std::string& notice) {
                                         return notice.find("No se pudo") == std::string::npos;
                                       }));
    if (done != "X") tell(log, done + " 0");
    if (reached) {
      tell(log, "W ok");
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  tell(log, "W broken");
  _exit(0);
}

struct Tally {
  int operations = 0, faults = 0, lost = 0, duplicated = 0, hung = 0;
};

// What the stations were told, checked against what the database holds and what its audit
// log says was done (key, action, times).
void check(const fs::path& folder, const store::Rows& rows, std::int64_t counter,
           const store::Rows& audit, Tally& tally) {
  std::map<std::string, std::string> price_of;            // saved keys the stations were told of
  std::map<std::string, std::set<std::string>> notes_of;  // what each may hold
  std::set<std::string> deleted, maybe_deleted;
  std::map<std::string, std::pair<int, int>> changes;  // acknowledged, and of unknown outcome
  std::map<std::string, int> delegation_of;            // of the station that saved it
  int unknown_saves = 0;
  std::int64_t highest_key = 0;
  for (int number = 1; number <= kStations; ++number) {
    std::ifstream log(folder / ("station" + std::to_string(number)));
    std::int64_t last_key = 0;
    bool working = false;
    for (std::string line; std::getline(log, line);) {
      std::istringstream words(line);
      std::string told, op, key, price, note;
      long milliseconds = 0;
      words >> told >> op >> key >> price >> note >> milliseconds;
      if (note == "-") note.clear();
      if (told == "W") working = op == "ok";
      if (told == "R" || told == "W") continue;
      ++tally.operations;
      if (milliseconds > kLongestOperationMs) {
        ++tally.hung;
        ADD_FAILURE() << "station " << number << " took " << milliseconds << " ms: " << line;
      }
      if (op == "S" && told == "A") {
        const std::int64_t number_key = std::stoll(key);
        if (number_key <= last_key || price_of.count(key)) {
          ++tally.duplicated;
          ADD_FAILURE() << "key " << key << " given again, or after a higher one";
        }
        last_key = number_key;
        highest_key = std::max(highest_key, number_key);
        price_of[key] = price;
        notes_of[key] = {note};
        delegation_of[key] = delegationOf(number);
      } else if (op == "S" && told == "U") {
        ++unknown_saves;
      } else if (op == "C" && told != "F") {
        if (told == "A") notes_of[key].clear();
        notes_of[key].insert(note);
        ++(told == "A" ? changes[key].first : changes[key].second);
      } else if (op == "D" && told == "A") {
        deleted.insert(key);
      } else if (op == "D" && told == "U") {
        maybe_deleted.insert(key);
      }
    }
    if (!working) {
      ++tally.hung;
      ADD_FAILURE() << "station " << number << " did not end with a working screen";
    }
  }
  std::map<std::string, store::Row> stored;
  for (const store::Row& row : rows) stored[row[0].asText()] = row;
  int unexplained = 0;
  for (const auto& [key, row] : stored) {
    if (!price_of.count(key)) ++unexplained;
  }
  if (unexplained > unknown_saves) {
    tally.duplicated += unexplained - unknown_saves;
    ADD_FAILURE() << unexplained << " records no station was told of, " << unknown_saves
                  << " saves of unknown outcome";
  }
  for (const auto& [key, price] : price_of) {
    const auto found = stored.find(key);
    if (deleted.count(key)) {
      if (found != stored.end()) {
        ++tally.lost;
        ADD_FAILURE() << "deleted record " << key << " is back";
      }
      continue;
    }
    if (found == stored.end()) {
      if (!maybe_deleted.count(key)) {
        ++tally.lost;
        ADD_FAILURE() << "saved record " << key << " is lost";
      }
      continue;
    }
    if (found->second[3].asInteger() != delegation_of[key]) {
      ++tally.lost;
      ADD_FAILURE() << "record " << key << " is of delegation " << found->second[3].asText()
                    << ", its station's is " << delegation_of[key];
    }
    const std::string note = found->second[2].isNull() ? "" : found->second[2].asText();
    if (found->second[1].asText() != price || !notes_of[key].count(note)) {
      ++tally.lost;
      ADD_FAILURE() << "record " << key << " holds " << found->second[1].asText() << " «" << note
                    << "», not what its station was told";
    }
  }
  if (counter < highest_key) {
    ++tally.duplicated;
    ADD_FAILURE() << "the key counter went back to " << counter << " below " << highest_key;
  }
  // The audit log holds each acknowledged save and delete once, and each acknowledged change
  // (a change of unknown outcome may be there too).
  std::map<std::pair<std::string, std::string>, std::int64_t> logged;
  for (const store::Row& row : audit)
    logged[{row[0].asText(), row[1].asText()}] = row[2].asInteger();
  const auto times = [&](const std::string& key, const char* action) {
    const auto found = logged.find({key, action});
    return found == logged.end() ? 0 : found->second;
  };
  for (const auto& [key, price] : price_of) {
    if (times(key, "alta") != 1) {
      ++tally.lost;
      ADD_FAILURE() << "the log holds the save of " << key << " " << times(key, "alta") << " times";
    }
  }
  for (const std::string& key : deleted) {
    if (times(key, "baja") != 1) {
      ++tally.lost;
      ADD_FAILURE() << "the log holds the delete of " << key << " " << times(key, "baja")
                    << " times";
    }
  }
  for (const auto& [key, told] : changes) {
    if (times(key, "cambio") < told.first || times(key, "cambio") > told.first + told.second) {
      ++tally.lost;
      ADD_FAILURE() << "the log holds " << times(key, "cambio") << " changes of " << key << ", "
                    << told.first << " acknowledged";
    }
  }
}

// One fault at the server: its connections cut, a restart, or a pause past the limit.
void fault(const OwnServer& server, const std::string& database, std::mt19937& random) {
  const int kind = static_cast<int>(random() % 4);
  if (kind == 0) {
    store::Connection::connect("postgresql:///postgres?host=" + server.folder + "&user=postgres")
        .runNative("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ?",
                   std::vector<std::optional<std::string>>{database});
  } else if (kind == 1 || kind == 2) {
    ASSERT_EQ(runServerScript("restart " + server.folder + (kind == 1 ? " fast" : " immediate")),
              0);
  } else {
    std::ifstream pid_file(server.folder + "/data/postmaster.pid");
    std::string postmaster;
    pid_file >> postmaster;
    const double pause = kWaitSeconds + 0.3 + static_cast<double>(random() % 1500) / 1000;
    ASSERT_EQ(std::system(("pkill -STOP -P " + postmaster + "; kill -STOP " + postmaster +
                           "; sleep " + std::to_string(pause) + "; kill -CONT " + postmaster +
                           "; pkill -CONT -P " + postmaster)
                              .c_str()),
              0);
  }
}

TEST(Chaos, StationsLoseNothingTheyWereToldOfWhileTheServerFails) {
  OwnServer server;
  server_tests::ServerFolder folder;
  const fs::path path = folder.folder.path();
  // The server is prepared for several delegations; delegation 5's stations work in `path`,
  // delegation 12's in `other`, each as its delegation's role.
  const testing_support::TempFolder other;
  {
    store::Connection owner = folder.database.connect();
    store::prepareServer(owner);
    for (const int delegation : {5, 12}) {
      const std::string role = "chaos_" + std::to_string(delegation);
      store::addDelegationRole(owner, delegation, role);
      std::string uri = folder.database.uri();
      uri.replace(uri.find("user=postgres"), 13, "user=" + role);
      std::ofstream((delegation == 5 ? path : other.path()) / store::kSettingsFileName)
          << "servidor = " << uri << "\nespera_conexion = " << kWaitSeconds
          << "\nespera_respuesta = " << kWaitSeconds << "\n";
    }
  }
  const std::string database = folder.database.uri().substr(
      14, folder.database.uri().find('?') - 14);  // postgresql:///NAME?…
  // The tests' servers answer a commit before it is written; this one, as a real server does,
  // only once it is, or an immediate stop would lose what was acknowledged.
  folder.database.connect().runNative("ALTER DATABASE " + database +
                                      " SET synchronous_commit = on");

  std::mt19937 random(20261207);
  std::vector<pid_t> stations;
  for (int number = 1; number <= kStations; ++number) {
    const unsigned seed = static_cast<unsigned>(random());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) work(delegationOf(number) == 5 ? path : other.path(), path, number, seed);
    stations.push_back(child);
  }
  const auto ready = [&] {
    for (int number = 1; number <= kStations; ++number) {
      std::ifstream log(path / ("station" + std::to_string(number)));
      std::string first;
      if (!std::getline(log, first)) return false;
    }
    return true;
  };
  for (int wait = 0; wait < 300 && !ready(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(ready()) << "the stations did not start";
  std::ofstream(path / "go") << "";

  Tally tally;
  tally.faults = faultsWanted();
  for (int f = 0; f < tally.faults; ++f) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 500));
    fault(server, database, random);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::ofstream(path / "stop") << "";
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  for (const pid_t child : stations) {
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (Clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      ++tally.hung;
      ADD_FAILURE() << "a station did not end";
    }
  }

  store::Connection db = folder.database.connect();
  const store::Rows rows =
      db.runNative("SELECT Consec, Pre_min, Obs, Cve_del FROM Reg_Pre WHERE Fecha = '2006-07-21'");
  const std::int64_t counter =
      db.runNative("SELECT last_value FROM reg_pre_consec_seq")[0][0].asInteger();
  // A failing run keeps what the stations were told, for a look at what happened.
  const fs::path kept = "/tmp/tarvel-chaos-logs-" + std::to_string(getpid());
  const store::Rows log = db.runNative(
      "SELECT consec, accion, count(*) FROM bitacora GROUP BY consec, accion", store::Row{});
  check(path, rows, counter, log, tally);
  const store::Rows twins = db.runNative(
      "SELECT count(*) FROM (SELECT 1 FROM Reg_Pre GROUP BY Cve_Mod, Fecha, Cve_des, "
      "Cve_prod, Cve_pres, Cve_ori HAVING count(*) > 1) AS twins");
  tally.duplicated += static_cast<int>(twins[0][0].asInteger());
  EXPECT_EQ(twins[0][0].asInteger(), 0) << "records share an identity";
  EXPECT_GT(db.runNative("SELECT count(*) FROM Reg_Pre WHERE Fecha = '2006-07-21' AND Cve_del = 12")
                .at(0)
                .at(0)
                .asInteger(),
            0)
      << "delegation 12's station saved nothing";

  // A station started now shows the day as it is stored.
  server_tests::Station late(path);
  const auto shown = db.runNative(
      "SELECT count(*) FROM Reg_Pre WHERE Fecha = '2006-07-21' AND Cve_Mod = 'FRU' AND Cve_des = ? "
      "AND Cve_del = 5",
      std::vector<std::optional<std::string>>{late.state.gCveDest});
  EXPECT_EQ(late.screen.records.count(), shown[0][0].asInteger());

  // Each delegation's export of the day, written by its station on the server, is the file
  // its program writes from a file holding the same records.
  const std::string columns = [] {
    std::string names;
    for (const store::ColumnSpec& column : store::recordTable().columns) {
      names += (names.empty() ? "" : ", ") + std::string(column.name);
    }
    return names;
  }();
  const store::Rows day =
      db.runNative("SELECT " + columns + " FROM Reg_Pre WHERE Fecha = '2006-07-21'");
  for (const int delegation : {5, 12}) {
    const std::string key = delegation == 5 ? "005" : "012";
    const std::string name = std::to_string(delegation) + "FRU.csv";
    const fs::path on_server = delegation == 5 ? path : other.path();
    const testing_support::TempFolder own;
    {
      store::Connection file = store::Connection::create(store::databasePath(own.path()));
      store::createSchema(file);
      testing_support::writeCaptureCatalogue(file, text::Date{2006, 7, 21});
      std::string values;
      for (std::size_t i = 0; i < store::recordTable().columns.size(); ++i)
        values += i ? ", ?" : "?";
      for (const store::Row& row : day) {
        file.runNative("INSERT INTO Reg_Pre (" + columns + ") VALUES (" + values + ")", row);
      }
    }
    for (const fs::path& where : {on_server, own.path()}) {
      server_tests::Station station(where, key);
      outputs::DayOutputFiles files(station.host, station.state);
      station.screen.useOutputs(files);
      station.screen.click(station.screen.CmdGenera);
    }
    const std::string exported = testing_support::fileContents(on_server / name);
    EXPECT_NE(exported.find("\"FRU\""), std::string::npos) << name << " holds no record";
    EXPECT_EQ(exported, testing_support::fileContents(own.path() / name)) << name;
  }

  if (tally.lost + tally.duplicated + tally.hung > 0) {
    fs::remove_all(kept);
    fs::copy(path, kept, fs::copy_options::recursive);
    std::cout << "the stations' logs are in " << kept.string() << "\n";
  }
  std::cout << tally.operations << " operations, " << tally.faults << " faults: " << tally.lost
            << " lost, " << tally.duplicated << " duplicated, " << tally.hung << " hung\n";
  EXPECT_GT(tally.operations, kStations * tally.faults) << "the stations did little work";
}

}  // namespace
