#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_host.h"
#include "capture/captura.h"
#include "outputs/day_output_files.h"
#include "session/session_state.h"
#include "sqlite_alone.h"

namespace bench {

// Program and SQLite-alone time of one step, in milliseconds.
struct StepTime {
  double program = 0;
  double alone = 0;
};

// The program signed in on one copy of a store, and SQLite alone on a second copy that runs
// every statement the program runs, in the same order, so both files stay alike. With
// TARVEL_BENCH_SERVER (the folder of a PostgreSQL server's socket) the program's copy is a
// database on that server instead, and SQLite alone runs the same events' statements as the
// program runs them on a file.
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
  // Runs one operator event on the program, then its statements on SQLite alone.
  StepTime step(const std::function<void()>& event);

  capture::Captura& screen() { return *captura_; }
  session::SessionState& state() { return *state_; }

 private:
  // The statements recorded since the last step, run on SQLite alone; their milliseconds.
  double runAlone(const std::vector<Recorded>& statements);

  std::filesystem::path program_folder_;
  std::filesystem::path alone_folder_;
  std::string server_admin_;
  std::string server_database_;
  BenchHost host_;
  std::unique_ptr<session::SessionState> state_;
  std::unique_ptr<capture::Captura> captura_;
  std::unique_ptr<outputs::DayOutputFiles> outputs_;
  std::unique_ptr<SqliteAlone> alone_;
  std::vector<Recorded> recorded_;
};

}  // namespace bench
