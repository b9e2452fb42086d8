#include "program.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "copying/copy.h"
#include "session/frm_clave_acceso.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/server_security.h"
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

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checked(bool done, const fs::path& file) {
  if (!done) throw std::runtime_error("the floor cannot write " + file.string());
}

// The bytes written as the program writes a file: a temporary file beside it, flushed to
// disk, renamed over the old one, then the folder flushed.
void writeAsTheProgram(const fs::path& file, const std::string& bytes) {
  const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".new");
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  checked(descriptor >= 0, temporary);
  checked(::write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
          temporary);
  checked(::fsync(descriptor) == 0 && ::close(descriptor) == 0, temporary);
  checked(::rename(temporary.c_str(), file.c_str()) == 0, file);
  const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  checked(folder >= 0 && ::fsync(folder) == 0 && ::close(folder) == 0, file.parent_path());
}

}  // namespace

Program::Program(const fs::path& store, const fs::path& work)
    : program_folder_(work / "program"), alone_folder_(work / "alone") {
  for (const fs::path& folder : {program_folder_, alone_folder_}) {
    fs::remove_all(folder);
    fs::create_directories(folder / store::kBackupFolderName);
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
    const std::string owner =
        std::string("postgresql:///") + server_database_ + "?host=" + server + "&user=postgres";
    tarvel_db::copyToServer(store, owner);
    // With TARVEL_BENCH_PREPARED the server is prepared for several delegations, and the
    // program and its floor work as delegation 5's role, held by row security.
    std::string user = "postgres";
    if (const char* prepared = std::getenv("TARVEL_BENCH_PREPARED"); prepared && *prepared) {
      user = "bench_delegacion_5";
      store::Connection connection = store::Connection::connect(owner);
      store::prepareServer(connection);
      store::addDelegationRole(connection, 5, user);
    }
    // The floor's copy is the server's own copy of the program's, made before the program
    // connects.
    alone_database_ = server_database_ + "_alone";
    store::Connection::connect(server_admin_)
        .runNative("CREATE DATABASE " + alone_database_ + " TEMPLATE " + server_database_);
    libpq_ = std::make_unique<LibpqAlone>(std::string("postgresql:///") + alone_database_ +
                                          "?host=" + server + "&user=" + user);
    std::ofstream(program_folder_ / store::kSettingsFileName)
        << "servidor = postgresql:///" << server_database_ << "?host=" << server << "&user=" << user
        << "\n";
  } else {
    fs::copy_file(store, store::databasePath(program_folder_));
    fs::copy_file(store, store::databasePath(alone_folder_));
    alone_ = std::make_unique<SqliteAlone>(store::databasePath(alone_folder_));
  }
}

Program::~Program() {
  alone_.reset();
  libpq_.reset();
  captura_.reset();
  outputs_.reset();
  state_.reset();
  for (const std::string& database : {server_database_, alone_database_}) {
    if (database.empty()) continue;
    try {
      store::Connection::connect(server_admin_)
          .runNative("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
    } catch (const store::StoreError&) {
    }
  }
  fs::remove_all(program_folder_);
  fs::remove_all(alone_folder_);
}

Program::StartTimes Program::start(const std::string& caption) {
  Clock::time_point shown;
  std::size_t opened = 0;
  std::uint64_t ran_opening = 0;
  host_.answerNext([&, caption](forms::Form& form) {
    shown = Clock::now();
    opened = recorded_.size();
    ran_opening = statementsRun();
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
  // The database of the program's folder, which the start reads and every event uses. The
  // floor opens its own copy in the opening's time, as the program opens its database.
  state_->gRuta = host_.folder.string();
  observe();
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
  times.opening.seen = statements.size();
  times.opening.ran = ran_opening;
  times.signIn.seen = after_shown.size();
  times.signIn.ran = statementsRun() - ran_opening;
  times.opening.alone = runAlone(statements, true);
  times.signIn.alone = runAlone(after_shown);
  // A server cleans up after a purge by itself (as the tables' owner), soon after it; the
  // next events meet the tables as they are then.
  for (const std::string& database : {server_database_, alone_database_}) {
    if (database.empty()) continue;
    std::string owner = server_admin_;
    owner.replace(owner.find("///postgres?"), 12, "///" + database + "?");
    store::Connection::connect(owner).runNative("VACUUM ANALYZE");
  }
  return times;
}

StepTime Program::step(const std::function<void()>& event, const std::string& output) {
  recorded_.clear();
  StepTime time;
  const std::uint64_t ran_before = statementsRun();
  const auto program_start = Clock::now();
  event();
  time.program = millisecondsSince(program_start);
  const std::vector<Recorded> statements = std::move(recorded_);
  recorded_.clear();
  time.seen = statements.size();
  time.ran = statementsRun() - ran_before;
  time.alone = runAlone(statements, false, output);
  return time;
}

void Program::observe() {
  state_->database().observeStatements(
      [this](std::string_view statement, const store::Row& values) {
        recorded_.push_back({std::string(statement), values});
      });
}

double Program::runAlone(const std::vector<Recorded>& statements, bool connect,
                         const std::string& output) {
  const std::string bytes = output.empty() ? std::string() : bytesOf(program_folder_ / output);
  // A file the program names in its folder (the archive it attaches) is the floor's own.
  std::vector<Recorded> own = statements;
  const std::string program_folder = program_folder_.string();
  for (Recorded& recorded : own) {
    for (store::Value& value : recorded.values) {
      if (value.isText() && value.asText().rfind(program_folder, 0) == 0) {
        value = store::Value(alone_folder_.string() + value.asText().substr(program_folder.size()));
      }
    }
  }
  const auto alone_start = Clock::now();
  if (libpq_) {
    if (connect) libpq_->connect();
    libpq_->run(own);
  } else {
    if (connect) alone_->reopen();
    alone_->run(own);
  }
  if (!output.empty()) writeAsTheProgram(alone_folder_ / output, bytes);
  return millisecondsSince(alone_start);
}

}  // namespace bench
