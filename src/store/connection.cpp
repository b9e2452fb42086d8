#include "store/connection.h"

#include "store/engine.h"
#include "store/error.h"
#include "store/server_settings.h"

namespace store {
std::filesystem::path databasePath(const std::filesystem::path& folder) {
  return folder / kDatabaseFileName;
}

Connection::Connection(std::unique_ptr<Engine> engine) : engine_(std::move(engine)) {}
Connection::Connection(Connection&& other) noexcept = default;
Connection& Connection::operator=(Connection&& other) noexcept = default;
Connection::~Connection() = default;

Connection Connection::open(const std::filesystem::path& file) {
  return Connection(openSqliteEngine(file, false));
}

Connection Connection::create(const std::filesystem::path& file) {
  if (std::filesystem::exists(file)) throw StoreError(file.string(), "el archivo ya existe");
  return Connection(openSqliteEngine(file, true));
}

Connection Connection::connect(const std::string& uri) {
  return connect(ServerSettings{uri});
}

Connection Connection::connect(const ServerSettings& server) {
  Connection connection(openPostgresEngine(server));
  connection.reopen_ = [server] { return openPostgresEngine(server); };
  return connection;
}

Rows Connection::runOnce(const std::function<Rows()>& statement) {
  try {
    return statement();
  } catch (const ConnectionDropped&) {
    if (in_transaction_ || !reopen()) throw;
    return statement();
  }
}

bool Connection::reopen() {
  if (!reopen_) return false;
  std::unique_ptr<Engine> next = reopen_();
  next->endPrevious(*engine_);
  engine_ = std::move(next);
  engine_->listen(listener_);
  return true;
}

void Connection::listen(ConnectionListener* listener) {
  listener_ = listener;
  engine_->listen(listener);
}

Connection Connection::openDatabase(const std::filesystem::path& folder) {
  if (const auto server = serverOf(folder)) return connect(*server);
  return open(databasePath(folder));
}

bool Connection::usable() const {
  return engine_->usable();
}

Backend Connection::backend() const {
  return engine_->backend();
}

// The same texts come back event after event (the lists, the basket, the day's records),
// so each is translated once; past a few hundred the kept ones start afresh.
const std::string& Connection::translated(std::string_view jet_statement) {
  constexpr std::size_t kKeptTranslations = 512;
  std::string text(jet_statement);
  if (const auto found = translations_.find(text); found != translations_.end()) {
    return found->second;
  }
  std::string translation = engine_->translate(jet_statement);
  if (translations_.size() >= kKeptTranslations) translations_.clear();
  return translations_.emplace(std::move(text), std::move(translation)).first->second;
}

Rows Connection::run(std::string_view jet_statement) {
  const std::string statement = translated(jet_statement);
  try {
    return runOnce([&] { return engine_->execute(statement, {}); });
  } catch (const StoreError& error) {
    throw StoreError(std::string(jet_statement), error);
  }
}

Rows Connection::runNative(std::string_view statement,
                           const std::vector<std::optional<std::string>>& parameters) {
  Row values;
  values.reserve(parameters.size());
  for (const auto& parameter : parameters)
    values.push_back(parameter ? Value(*parameter) : Value());
  return runNative(statement, values);
}

Rows Connection::runNative(std::string_view statement, const Row& values) {
  return runOnce([&] { return engine_->execute(statement, values); });
}

std::int64_t Connection::lastInsertedKey() {
  return engine_->lastInsertedKey();
}

std::vector<std::string> Connection::columnsOf(const std::string& table) {
  return engine_->columnsOf(table);
}

void Connection::checkWritable() {
  engine_->checkWritable();
}

void Connection::transaction(const std::function<void()>& work, TransactionKind kind) {
  // A transaction inside another is part of it: committed or rolled back with it.
  if (in_transaction_) return work();
  struct Inside {
    bool& flag;
    explicit Inside(bool& f) : flag(f) { flag = true; }
    ~Inside() { flag = false; }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
  };
  const Inside inside(in_transaction_);
  constexpr int kAttempts = 5;
  for (int attempt = 1;; ++attempt) {
    try {
      engine_->execute(engine_->beginStatement(kind), {});
    } catch (const ConnectionDropped&) {
      if (!reopen()) throw;
      engine_->execute(engine_->beginStatement(kind), {});
    }
    bool committing = false;
    try {
      work();
      committing = true;
      engine_->execute("COMMIT", {});
      return;
    } catch (const StoreError& failure) {
      rollBack();
      if (committing && failure.lostTheServer()) {
        throw CommitOutcomeUnknown(failure);
      }
      if (attempt < kAttempts && engine_->mayRetry(failure)) continue;
      throw;
    } catch (...) {
      rollBack();
      throw;
    }
  }
}

// The first failure is the one to report; a transaction whose rollback fails too is undone
// by the engine when the connection closes.
void Connection::rollBack() noexcept {
  try {
    engine_->execute("ROLLBACK", {});
  } catch (...) {
  }
}

Rows run(const std::filesystem::path& folder, std::string_view jet_statement) {
  return Connection::openDatabase(folder).run(jet_statement);
}

}  // namespace store
