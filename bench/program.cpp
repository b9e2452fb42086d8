#include "program.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "copying/copy.h"
#include "session/frm_clave_acceso.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/server_settings.h"

namespace bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

forms::LocalDateTime localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

Program::Program(const fs::path& store, const fs::path& work)
    : program_folder_(work / "program"), alone_folder_(work / "alone") {
  for (const fs::path& folder : {program_folder_, alone_folder_}) {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  host_.folder = program_folder_;
  host_.clock = localNow();
  if (const char* server = std::getenv("TARVEL_BENCH_SERVER"); server && *server) {
    // The program works on a server database holding a copy of the store.
    static int databases = 0;
    server_admin_ = std::string("postgresql:///postgres?host=") + server + "&user=postgres";
    server_database_ = "bench_" + std::to_string(getpid()) + "_" + std::to_string(databases++);
    store::Connection::connect(server_admin_)
        .runNative("CREATE DATABASE " + server_database_ + " TEMPLATE template0");
    const std::string uri =
        std::string("postgresql:///") + server_database_ + "?host=" + server + "&user=postgres";
    tarvel_db::copyToServer(store, uri);
    std::ofstream(program_folder_ / store::kSettingsFileName) << "servidor = " << uri << "\n";
  } else {
    fs::copy_file(store, store::databasePath(program_folder_));
  }
  // On a server the program's statements are the server's own SQL, which SQLite cannot
  // replay: the server's times stand beside the file's run of the same events instead.
  if (server_database_.empty()) {
    fs::copy_file(store, store::databasePath(alone_folder_));
    alone_ = std::make_unique<SqliteAlone>(store::databasePath(alone_folder_));
  }
}

Program::~Program() {
  alone_.reset();
  if (!server_database_.empty()) {
    try {
      store::Connection::connect(server_admin_)
          .runNative("DROP DATABASE IF EXISTS " + server_database_ + " WITH (FORCE)");
    } catch (const store::StoreError&) {
    }
  }
  fs::remove_all(program_folder_);
  fs::remove_all(alone_folder_);
}

Program::StartTimes Program::start(const std::string& caption) {
  Clock::time_point shown;
  std::size_t opened = 0;
  host_.answerNext([&, caption](forms::Form& form) {
    shown = Clock::now();
    opened = recorded_.size();
    auto& access = dynamic_cast<session::frmClaveAcceso&>(form);
    access.type(access.Text1, "005");
    access.keyPress(forms::kEnterKey);
    for (int i = 0; i < access.ComboMod.listCount(); ++i) {
      if (access.ComboMod.itemText(i) == caption) access.choose(access.ComboMod, i);
    }
    access.keyPress(forms::kEnterKey);
  });
  recorded_.clear();
  const auto start = Clock::now();
  state_ = std::make_unique<session::SessionState>();
  captura_ = std::make_unique<capture::Captura>(host_, *state_);
  // Seen from the station's connection on, so without the pragmas its opening sets: SQLite
  // alone has set them once.
  state_->database().observeStatements(
      [this](std::string_view statement, const store::Row& values) {
        recorded_.push_back({std::string(statement), values});
      });
  outputs_ = std::make_unique<outputs::DayOutputFiles>(host_, *state_);
  captura_->useOutputs(*outputs_);
  captura_->load();
  StartTimes times;
  times.opening.program = std::chrono::duration<double, std::milli>(shown - start).count();
  times.signIn.program = millisecondsSince(shown);
  std::vector<Recorded> statements = std::move(recorded_);
  recorded_.clear();
  const std::vector<Recorded> after_shown(statements.begin() + static_cast<long>(opened),
                                          statements.end());
  statements.resize(opened);
  times.opening.alone = runAlone(statements);
  times.signIn.alone = runAlone(after_shown);
  // A server cleans up after a purge by itself, soon after it; the next events meet the
  // tables as they are then.
  if (!server_database_.empty()) state_->database().connection().runNative("VACUUM ANALYZE");
  return times;
}

StepTime Program::step(const std::function<void()>& event) {
  recorded_.clear();
  StepTime time;
  const auto program_start = Clock::now();
  event();
  time.program = millisecondsSince(program_start);
  const std::vector<Recorded> statements = std::move(recorded_);
  recorded_.clear();
  time.alone = runAlone(statements);
  return time;
}

double Program::runAlone(const std::vector<Recorded>& statements) {
  if (!alone_) return 0;
  const auto alone_start = Clock::now();
  alone_->run(statements);
  return millisecondsSince(alone_start);
}

}  // namespace bench
