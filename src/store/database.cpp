#include "store/database.h"

#include <sys/stat.h>

#include "store/error.h"

namespace store {
namespace {

// Told as a database that cannot be reached: the event gives up at once, whatever it was.
StoreError settingsChanged(const std::filesystem::path& folder, const std::string& why) {
  return StoreError((folder / kSettingsFileName).string(),
                    "la configuración de la base de datos cambió después del inicio (" + why +
                        "); no se grabó nada. Deje el archivo " + kSettingsFileName +
                        " como estaba, o cierre el programa y vuelva a abrirlo",
                    StoreError::Kind::Unreachable);
}

std::pair<unsigned long, unsigned long> identityOf(const std::filesystem::path& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) return {0, 0};
  return {status.st_dev, status.st_ino};
}

}  // namespace

void Database::checkSettings() {
  std::optional<ServerSettings> now;
  try {
    now = serverOf(folder_);
  } catch (const StoreError& unusable) {
    if (!chosen_) throw;
    throw settingsChanged(folder_, unusable.explanation());
  }
  if (!chosen_) {
    server_ = now;
    chosen_ = true;
  } else if (now != server_) {
    throw settingsChanged(folder_, !now       ? "el archivo ya no está"
                                   : !server_ ? "apareció el archivo"
                                              : "ahora nombra otro servidor");
  }
}

bool Database::fileReplaced() const {
  return !server_ && identityOf(databasePath(folder_)) != file_identity_;
}

Connection& Database::connection() {
  // The settings file and the file's identity are read once per operator event, not for
  // every statement.
  const std::uint64_t operation = event_.current;
  const bool new_event = operation == 0 || operation != settings_read_in_;
  if (new_event) {
    checkSettings();
    settings_read_in_ = operation;
  }
  if (kept_ && server_ && !kept_->usable()) kept_->reopen();
  if (kept_ && !server_ && (!kept_->usable() || (new_event && fileReplaced()))) kept_.reset();
  if (!kept_) {
    if (server_) {
      kept_.emplace(Connection::connect(*server_));
    } else {
      kept_.emplace(Connection::open(databasePath(folder_)));
      file_identity_ = identityOf(databasePath(folder_));
    }
    kept_->listen(this);
  }
  return *kept_;
}

void Database::noteGivenUp() {
  if (event_.depth > 0) event_.givenUp = true;
}

void Database::statementStarting(std::string_view statement, const Row& values) {
  ++statements_run_;
  if (observer_) observer_(statement, values);
}

void Database::stillWorking() {
  if (event_.tick) event_.tick();
}

void Database::rowsChanged() {
  if (event_.depth > 0) event_.changed = true;
}

OperationScope::OperationScope(Database& database, std::function<void()> tick)
    : database_(database),
      outer_given_up_(database.event_.givenUp),
      outer_changed_(database.event_.changed),
      outer_tick_(database.event_.tick) {
  Database::EventState& event = database_.event_;
  if (event.depth++ == 0) event.current = ++event.started;
  event.givenUp = false;
  event.changed = false;
  if (tick) event.tick = std::move(tick);
}

OperationScope::~OperationScope() {
  Database::EventState& event = database_.event_;
  event.givenUp = outer_given_up_;
  event.changed = outer_changed_ || event.changed;
  event.tick = std::move(outer_tick_);
  if (--event.depth > 0) return;
  event.current = 0;
  event.givenUp = false;
  event.changed = false;
}

}  // namespace store
