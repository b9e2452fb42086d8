#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_host.h"
#include "capture/captura.h"
#include "libpq_alone.h"
#include "outputs/day_output_files.h"
#include "session/session_state.h"
#include "sqlite_alone.h"

namespace bench {

// Program and floor time of one step, in milliseconds, and how many statements the step ran
// on the program's database and how many of them the observer saw (and the floor ran).
struct StepTime {
  double program = 0;
  double alone = 0;
  std::uint64_t ran = 0;
  std::uint64_t seen = 0;
};

// The program signed in on one copy of a store, and the floor on a second copy that runs
// every statement the program runs, in the same order, so both copies stay alike: SQLite
// alone on a file. With TARVEL_BENCH_SERVER (the folder of a PostgreSQL server's socket) both
// copies are databases on that server, and the floor is libpq alone.
class Program {
 public:
  // Copies `store` into two working folders under `work`.
  Program(const std::filesystem::path& store, const std::filesystem::path& work);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The two waits of a start: from the screen's creation to the access screen shown (the
  // database opened, the delegations read), and from the key's Intro to a capture screen
  // ready for keying.
  struct StartTimes {
    StepTime opening;
    StepTime signIn;
  };
  // Signs in with delegation 5's key into the module `caption` on today's date.
  StartTimes start(const std::string& caption);
  // Runs one operator event on the program, then its statements on the floor. An event that
  // writes `output` (a file's name in the program's folder) has the floor write the same
  // bytes the same way.
  StepTime step(const std::function<void()>& event, const std::string& output = {});

  capture::Captura& screen() { return *captura_; }
  session::SessionState& state() { return *state_; }

 private:
  // Starts recording the statements of the database the program uses now.
  void observe();
  // The statements run on the program's database so far.
  std::uint64_t statementsRun() { return state_->database().statementsRun(); }
  // `statements` run on the floor (after a new connection, for a start, and
  // followed by the bytes of `output` written), in milliseconds.
  double runAlone(const std::vector<Recorded>& statements, bool connect = false,
                  const std::string& output = {});

  std::filesystem::path program_folder_;
  std::filesystem::path alone_folder_;
  std::string server_admin_;
  std::string server_database_;
  std::string alone_database_;
  BenchHost host_;
  std::unique_ptr<session::SessionState> state_;
  std::unique_ptr<capture::Captura> captura_;
  std::unique_ptr<outputs::DayOutputFiles> outputs_;
  std::unique_ptr<SqliteAlone> alone_;
  std::unique_ptr<LibpqAlone> libpq_;
  std::vector<Recorded> recorded_;
};

}  // namespace bench
