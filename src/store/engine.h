#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/connection.h"
#include "store/server_settings.h"
#include "store/value.h"

namespace store {

// What one database engine does for a Connection: the store's only engine-specific code.
class Engine {
 public:
  Engine() = default;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;
  virtual ~Engine() = default;

  virtual Backend backend() const = 0;
  virtual bool usable() const = 0;
  // The statement in the screens' dialect, in the engine's own SQL.
  virtual std::string translate(std::string_view jet_statement) const = 0;
  // Runs one statement in the engine's SQL with each ? bound to a value of its own kind.
  virtual Rows execute(std::string_view statement, const Row& values) = 0;
  virtual std::string_view beginStatement(TransactionKind kind) const = 0;
  // Whether a transaction that failed this way may simply run again (a server that could
  // not serialise it with another station's).
  virtual bool mayRetry(const class StoreError& failure) const = 0;
  virtual std::int64_t lastInsertedKey() = 0;
  virtual std::vector<std::string> columnsOf(const std::string& table) = 0;
  // Fails as a save would when the database cannot be written; a server's administrator
  // grants writing, so a server's engine leaves that to the first save.
  virtual void checkWritable() {}
  // For an engine opened to replace `previous`: makes sure nothing `previous` sent can still
  // take effect (a server session given up on may still be running, or may still receive a
  // COMMIT), so that what this engine reads is final. Throws when that cannot be made sure.
  virtual void endPrevious(const Engine& previous) { static_cast<void>(previous); }

  void listen(ConnectionListener* listener) { listener_ = listener; }

 protected:
  void statementStarting(std::string_view statement, const Row& values) const {
    if (listener_) listener_->statementStarting(statement, values);
  }
  void stillWorking() const {
    if (listener_) listener_->stillWorking();
  }
  void rowsChanged() const {
    if (listener_) listener_->rowsChanged();
  }

 private:
  ConnectionListener* listener_ = nullptr;
};

// Opens the SQLite file `file`; `create` makes a new one instead.
std::unique_ptr<Engine> openSqliteEngine(const std::filesystem::path& file, bool create);

// Connects to the database server the settings name, with every session setting the
// program's statements rely on pinned.
std::unique_ptr<Engine> openPostgresEngine(const ServerSettings& server);

}  // namespace store
