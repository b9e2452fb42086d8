#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/backend.h"
#include "store/server_settings.h"
#include "store/value.h"

namespace store {

// The database file's fixed name inside the program's folder.
inline constexpr const char* kDatabaseFileName = "TARVELcaptura.mdb";
std::filesystem::path databasePath(const std::filesystem::path& folder);

// How a transaction starts: Read shares the data with other readers until it writes; Write
// takes the writer's place at once, so a check and the write that depends on it cannot be
// separated by another program's write.
enum class TransactionKind { Read, Write };

class Engine;

// What a connection tells whoever holds it while it works. Every call comes from inside a
// statement, so none may run statements itself.
class ConnectionListener {
 public:
  virtual ~ConnectionListener() = default;
  // A statement in the engine's SQL, with its bound values, before it runs.
  virtual void statementStarting(std::string_view /*statement*/, const Row& /*values*/) {}
  // Often, while a statement runs or waits (for another program's lock, for a server's
  // answer): often enough to keep a window painted.
  virtual void stillWorking() {}
  // A statement changed rows.
  virtual void rowsChanged() {}
};

// One open connection to the database. A station keeps one across its events (Database);
// the tools open one per task. A server connection the server ended while it was idle is
// opened again, with the same settings, for a statement that may run again.
class Connection {
 public:
  // Opens an existing file; a missing file is an error, never created here.
  static Connection open(const std::filesystem::path& file);
  // Creates a new file (the supplier's tool); an existing file is an error.
  static Connection create(const std::filesystem::path& file);
  // Connects to a database server by its URI (postgresql://…), waiting as long as the
  // settings say (by default as a settings file without waits).
  static Connection connect(const std::string& uri);
  static Connection connect(const ServerSettings& server);
  // The database the program in `folder` uses: the server its settings file names, else the
  // file in that folder. A station keeps its own in a Database.
  static Connection openDatabase(const std::filesystem::path& folder);

  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  ~Connection();

  Backend backend() const;
  // Whether the connection can still run a statement (a server may have dropped it).
  bool usable() const;
  // Runs one statement written in the statements' dialect and returns its rows (none for a
  // change). A text holding more than one statement is refused before anything runs.
  Rows run(std::string_view jet_statement);
  // Runs `work` in one transaction: committed when it returns, rolled back when it throws
  // (the failure goes on up). Inside another transaction of this connection it is part of
  // that one. A connection lost while the commit's answer was awaited throws
  // CommitOutcomeUnknown: the work may have been committed.
  void transaction(const std::function<void()>& work, TransactionKind kind = TransactionKind::Read);
  // Runs one statement in the engine's own SQL with its ? parameters bound as text (null
  // for none). Only blanks may follow the statement; anything else, a NUL included, refuses
  // the whole text before anything runs. A failure throws StoreError with the engine's
  // extended code.
  Rows runNative(std::string_view statement,
                 const std::vector<std::optional<std::string>>& parameters = {});
  // The same with each ? bound to a value of its own kind (null, integer, real or text), so
  // a row read back is written back exactly.
  Rows runNative(std::string_view statement, const Row& values);
  // The record key the last insert of a record on this connection gave its row.
  std::int64_t lastInsertedKey();
  // The columns of `table` in their order; none when there is no such table.
  std::vector<std::string> columnsOf(const std::string& table);
  // Fails as a save would when the database cannot be written (a read-only file, a folder
  // where the journal cannot be made); writes nothing.
  void checkWritable();
  // Opens the same server database again in place of this connection, once whatever the
  // old one left on the server can no longer take effect; false for a file.
  bool reopen();
  // Tells `listener` (none: null) of this connection's work from now on.
  void listen(ConnectionListener* listener);

 private:
  explicit Connection(std::unique_ptr<Engine> engine);
  void rollBack() noexcept;

  // Runs `statement` on the engine; one the server dropped before running it runs again
  // on a new connection, outside a transaction.
  Rows runOnce(const std::function<Rows()>& statement);
  // The engine's form of `jet_statement`, each text translated once.
  const std::string& translated(std::string_view jet_statement);
  std::unique_ptr<Engine> engine_;
  std::unordered_map<std::string, std::string> translations_;
  // Opens the same database again (a server's); none for a file.
  std::function<std::unique_ptr<Engine>()> reopen_;
  bool in_transaction_ = false;
  ConnectionListener* listener_ = nullptr;
};

// For the tools and the tests: open the database in `folder`, run one statement, close.
Rows run(const std::filesystem::path& folder, std::string_view jet_statement);

}  // namespace store
