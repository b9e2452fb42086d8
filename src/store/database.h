#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "store/connection.h"
#include "store/server_settings.h"

namespace store {

// One station's database. It is chosen at the first use: the server the folder's settings
// file names, or the file in the folder; settings that vanish, change or appear later are
// told, and nothing is written anywhere else. One connection is kept open across events and
// opened again, transparently, when the server dropped it or the file was replaced (a backup
// brought back, say).
class Database : private ConnectionListener {
 public:
  explicit Database(std::filesystem::path folder) : folder_(std::move(folder)) {}
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // The kept connection, ready for a statement.
  Connection& connection();
  Rows run(std::string_view jet_statement) { return connection().run(jet_statement); }

  // The operator gave up on the database in the event under way (another program holds the
  // file locked, or the database cannot be reached): the rest of this event (but not an
  // event that follows, or one inside it) gives up at once instead of waiting or telling
  // again. Nothing is noted outside an event.
  void noteGivenUp();
  bool givenUp() const { return event_.givenUp; }
  // Whether a statement of the event under way (or of one inside it) changed rows.
  bool changedRows() const { return event_.changed; }

  // Called with every statement and its bound values before it runs, for the benchmarks
  // that run the program's statements again on SQLite alone, and for tests that step in
  // between two statements. Empty (the default) for none.
  using StatementObserver = std::function<void(std::string_view statement, const Row& values)>;
  void observeStatements(StatementObserver observer) { observer_ = std::move(observer); }
  // How many statements have run on this database, observed or not: the benchmarks check
  // that their observer saw them all.
  std::uint64_t statementsRun() const { return statements_run_; }

 private:
  friend class OperationScope;
  struct EventState {
    int depth = 0;
    // Numbers the outermost events; 0 outside any.
    std::uint64_t started = 0;
    std::uint64_t current = 0;
    bool givenUp = false;
    bool changed = false;
    std::function<void()> tick;
  };

  void checkSettings();
  bool fileReplaced() const;
  void statementStarting(std::string_view statement, const Row& values) override;
  void stillWorking() override;
  void rowsChanged() override;

  std::filesystem::path folder_;
  bool chosen_ = false;
  std::optional<ServerSettings> server_;
  std::optional<Connection> kept_;
  // The operator event in which the settings were read last.
  std::uint64_t settings_read_in_ = 0;
  // The file the kept connection has open, by device and inode.
  std::pair<unsigned long, unsigned long> file_identity_{0, 0};
  EventState event_;
  StatementObserver observer_;
  std::uint64_t statements_run_ = 0;
};

// One operator event on a station's database, while it lives: the settings are read once in
// it, `tick` (when given) is called while its statements run or wait, so that a long one can
// keep a window painted, and the database notes whether the event gave up and whether it
// changed rows. An event inside another (a dialog's, say) leaves the outer one's notes as it
// found them, and what it changed counts for the outer one too.
class OperationScope {
 public:
  explicit OperationScope(Database& database, std::function<void()> tick = {});
  ~OperationScope();
  OperationScope(const OperationScope&) = delete;
  OperationScope& operator=(const OperationScope&) = delete;

 private:
  Database& database_;
  bool outer_given_up_;
  bool outer_changed_;
  std::function<void()> outer_tick_;
};

}  // namespace store
