// Every operator event that reaches the database, timed through the program's own code path
// and beside it the same statements on SQLite alone (one connection, statements prepared
// once). The stores come from scripts/bench: TARVEL_BENCH_STEADY (30 days at 3,000 records a
// day) and TARVEL_BENCH_YEARS (1,000,000 records), worked on in copies under
// TARVEL_BENCH_WORK.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "program.h"
#include "text/dates.h"

namespace {

namespace fs = std::filesystem;
using bench::Program;
using bench::StepTime;

fs::path fromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

fs::path steadyStore() {
  return fromEnvironment("TARVEL_BENCH_STEADY");
}
fs::path yearsStore() {
  return fromEnvironment("TARVEL_BENCH_YEARS");
}
fs::path work() {
  return fromEnvironment("TARVEL_BENCH_WORK");
}

// Whether the program works on a server, whose floor is libpq alone; on a file it is SQLite
// alone.
bool onServer() {
  const char* server = std::getenv("TARVEL_BENCH_SERVER");
  return server && *server;
}

// Set when an event's floor did not run: the run then fails.
bool floor_missing = false;
// The name of the event being timed.
std::string current_event;

// Keeps the program's and the floor's time of every iteration and reports the median of
// each: on a machine shared with other work, a pause of the machine in one iteration would
// move a mean far more than the event's own cost. The program's is the iteration's time. An
// event whose statements on the program's database the observer did not all see has no true
// floor: its benchmark stops with an error naming it.
class Tally {
 public:
  explicit Tally(benchmark::State& state) : state_(state) {}
  ~Tally() {
    if (program_.empty()) return;
    const double program = median(program_);
    const double alone = median(alone_);
    state_.counters["program_ms"] = program;
    state_.counters[onServer() ? "libpq_ms" : "sqlite_ms"] = alone;
    state_.counters["ratio"] = alone > 0 ? program / alone : 0;
  }
  Tally(const Tally&) = delete;
  Tally& operator=(const Tally&) = delete;

  void add(const StepTime& time) {
    if (time.seen != time.ran && !state_.error_occurred()) {
      floor_missing = true;
      state_.SkipWithError((current_event + ": the program ran " + std::to_string(time.ran) +
                            " statements on its database and the floor saw " +
                            std::to_string(time.seen))
                               .c_str());
    }
    state_.SetIterationTime(time.program / 1000.0);
    program_.push_back(time.program);
    alone_.push_back(time.alone);
  }

 private:
  static double median(std::vector<double> times) {
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    if (times.size() % 2 == 1) return *middle;
    return (*middle + *std::max_element(times.begin(), middle)) / 2;
  }

  benchmark::State& state_;
  std::vector<double> program_;
  std::vector<double> alone_;
};

const char* const kFruits = "Frutas y Hortalizas";

void typePrices(Program& program, const char* minimum) {
  capture::Captura& c = program.screen();
  program.step([&] { c.type(c.TextMin, minimum); });
  program.step([&] { c.type(c.TextMax, "9999"); });
  program.step([&] { c.type(c.TextFrec, "5000"); });
}

// `timed`: 0 the opening (to the access screen), 1 the sign-in (to a screen ready for keying).
void Start(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);  // the first start purges; the steady state starts after it
  Tally tally(state);
  for (auto _ : state) {
    const Program::StartTimes times = program.start(kFruits);
    tally.add(state.range(0) == 0 ? times.opening : times.signIn);
  }
}

void FirstStartAfterYears(benchmark::State& state) {
  Tally tally(state);
  for (auto _ : state) {
    Program program(yearsStore(), work());
    const Program::StartTimes times = program.start(kFruits);
    tally.add({times.opening.program + times.signIn.program,
               times.opening.alone + times.signIn.alone, times.opening.ran + times.signIn.ran,
               times.opening.seen + times.signIn.seen});
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["max_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void EnterMinimum(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  Tally tally(state);
  for (auto _ : state) {
    program.step([&] { c.focus(c.TextMax); });
    tally.add(program.step([&] { c.focus(c.TextMin); }));
  }
}

void LeaveMinimum(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  Tally tally(state);
  for (auto _ : state) {
    program.step([&] { c.type(c.TextMin, "1,234.5"); });
    tally.add(program.step([&] { c.focus(c.TextMax); }));
  }
}

// Saves a new record, moves back onto it and deletes it, which leaves the screen as it was;
// `timed` picks the step reported: 0 save, 1 previous, 2 delete.
void SaveMoveBackDelete(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  Tally tally(state);
  for (auto _ : state) {
    typePrices(program, "1");
    const StepTime steps[] = {program.step([&] { c.click(c.CmdGrabar); }),
                              program.step([&] { c.click(c.cmdAnterior); }),
                              program.step([&] { c.click(c.CmdBorrar); })};
    tally.add(steps[state.range(0)]);
  }
}

// Three saved records; moves to the first and saves it unchanged, which moves on to the
// second. `timed`: 0 the move to the first, 1 the change.
void FirstAndChange(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  for (int i = 0; i < 3; ++i) {
    typePrices(program, "1");
    program.step([&] { c.click(c.CmdGrabar); });
  }
  Tally tally(state);
  for (auto _ : state) {
    const StepTime steps[] = {program.step([&] { c.click(c.cmdPrimero); }),
                              program.step([&] { c.click(c.CmdGrabar); })};
    tally.add(steps[state.range(0)]);
  }
}

// The position in the destination list of destination `key`.
int destinationItem(const capture::Captura& c, std::int32_t key) {
  for (int i = 0; i < c.ComboDest.listCount(); ++i) {
    if (c.ComboDest.itemData(i) == key) return i;
  }
  throw std::runtime_error("destination " + std::to_string(key) + " is not listed");
}

// Between the two markets with the largest fruit baskets.
void LeaveDestinationList(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  Tally tally(state);
  std::int32_t other = 2;
  for (auto _ : state) {
    program.step([&] { c.click(c.LabelDest); });
    program.step([&] { c.choose(c.ComboDest, destinationItem(c, other)); });
    other = 3 - other;
    tally.add(program.step([&] { c.tab(); }));
  }
}

void SwitchModule(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  capture::Captura& c = program.screen();
  Tally tally(state);
  bool grains = true;
  for (auto _ : state) {
    tally.add(program.step([&] { c.clickMenu(grains ? c.Granos : c.Frutas); }));
    grains = !grains;
  }
}

// The report or (`export_file` 1) the export of yesterday's fruit capture.
void DayOutput(benchmark::State& state) {
  Program program(steadyStore(), work());
  program.start(kFruits);
  const auto today = text::dateOfLabel(program.state().gFecha);
  program.state().gFecha = text::dateLabel(text::addDays(*today, -1));
  capture::Captura& c = program.screen();
  const bool report = state.range(0) == 0;
  const std::string written =
      report ? "Reporte.htm" : program.state().gCveDel + program.state().gModulo + ".csv";
  Tally tally(state);
  for (auto _ : state) {
    tally.add(program.step([&] { c.click(report ? c.CmdReporte : c.CmdGenera); }, written));
  }
}

// Wall time of one run of `program`, from its start to its exit.
double runMilliseconds(const fs::path& program) {
  const std::string path = program.string();
  char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  // The children's notices on the error stream would break the table.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int started = posix_spawn(&child, path.c_str(), &quiet, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (started != 0) throw std::runtime_error("cannot start " + path);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(path + " failed");
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// From starting the program to its access screen on screen, beside a Qt program that shows
// one empty window.
void ColdStart(benchmark::State& state) {
  const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
  double program = 0;
  double minimal = 0;
  int runs = 0;
  for (auto _ : state) {
    minimal += runMilliseconds(folder / "minimal-window");
    const double once = runMilliseconds(folder / "tarvel-cold-start");
    state.SetIterationTime(once / 1000.0);
    program += once;
    ++runs;
  }
  state.counters["program_ms"] = program / runs;
  state.counters["minimal_qt_ms"] = minimal / runs;
  state.counters["ratio"] = program / minimal;
}

void registerEvents() {
  const auto timed = [](benchmark::internal::Benchmark* b) {
    return b->UseManualTime()->Unit(benchmark::kMillisecond);
  };
  using Event = void (*)(benchmark::State&);
  const auto named = [](const char* name, Event event) {
    return benchmark::RegisterBenchmark(name, [name, event](benchmark::State& state) {
      current_event = name;
      event(state);
    });
  };
  timed(named("start_opening", Start))->Arg(0)->Iterations(20);
  timed(named("start_sign_in", Start))->Arg(1)->Iterations(20);
  timed(named("first_start_after_years", FirstStartAfterYears))->Iterations(2);
  timed(named("enter_minimum", EnterMinimum))->Iterations(200);
  timed(named("leave_minimum", LeaveMinimum))->Iterations(200);
  timed(named("save_new", SaveMoveBackDelete))->Arg(0)->Iterations(100);
  timed(named("move_previous", SaveMoveBackDelete))->Arg(1)->Iterations(100);
  timed(named("delete", SaveMoveBackDelete))->Arg(2)->Iterations(100);
  timed(named("move_first", FirstAndChange))->Arg(0)->Iterations(100);
  timed(named("save_change", FirstAndChange))->Arg(1)->Iterations(100);
  // The longer events vary most from run to run on a busy machine: more runs of them.
  timed(named("leave_destination_list", LeaveDestinationList))->Iterations(100);
  timed(named("switch_module", SwitchModule))->Iterations(100);
  timed(named("report_day", DayOutput))->Arg(0)->Iterations(40);
  timed(named("export_day", DayOutput))->Arg(1)->Iterations(40);
  timed(named("cold_start", ColdStart))->Iterations(20);
}

}  // namespace

int main(int argc, char** argv) {
  registerEvents();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (floor_missing) std::fprintf(stderr, "Some events had no floor: see the errors above.\n");
  return floor_missing ? 1 : 0;
}
