#include "store/connection.h"

#include <map>

#include "store/engine.h"
#include "store/error.h"
#include "store/server_settings.h"

namespace store {
namespace {

StatementObserver& statementObserver() {
  static StatementObserver observer;
  return observer;
}

struct OperationConnections {
  int depth = 0;
  // Numbers the outermost operations; 0 outside any.
  std::uint64_t started = 0;
  std::uint64_t current = 0;
  std::map<std::filesystem::path, Connection> open;
  bool given_up = false;
  bool changed = false;
};

OperationConnections& operation() {
  static OperationConnections connections;
  return connections;
}

std::function<void()>& progressTick() {
  static std::function<void()> tick;
  return tick;
}

}  // namespace

void observeStatements(StatementObserver observer) {
  statementObserver() = std::move(observer);
}

void observeStatement(std::string_view statement, const Row& values) {
  if (statementObserver()) statementObserver()(statement, values);
}

void tickProgress() {
  if (progressTick()) progressTick()();
}

ProgressWatch::ProgressWatch(std::function<void()> tick) {
  progressTick() = std::move(tick);
}

ProgressWatch::~ProgressWatch() {
  progressTick() = nullptr;
}

void noteRowsChanged() {
  if (operation().depth > 0) operation().changed = true;
}

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
  return true;
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

Rows Connection::run(std::string_view jet_statement) {
  const std::string translated = engine_->translate(jet_statement);
  try {
    return runOnce([&] { return engine_->execute(translated, {}); });
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

OperationScope::OperationScope()
    : outer_given_up_(operation().given_up), outer_changed_(operation().changed) {
  if (operation().depth++ == 0) operation().current = ++operation().started;
  operation().given_up = false;
  operation().changed = false;
}

OperationScope::~OperationScope() {
  // An event inside another (a dialog's, say) leaves the outer one's lock as it found it,
  // and what it changed counts for the outer one too.
  operation().given_up = outer_given_up_;
  operation().changed = outer_changed_ || operation().changed;
  if (--operation().depth > 0) return;
  operation().current = 0;
  operation().open.clear();
  operation().given_up = false;
  operation().changed = false;
}

void OperationScope::noteGivenUp() {
  if (operation().depth > 0) operation().given_up = true;
}

bool OperationScope::givenUp() {
  return operation().given_up;
}

std::uint64_t OperationScope::currentOperation() {
  return operation().current;
}

bool OperationScope::changedRows() {
  return operation().changed;
}

Rows run(const std::filesystem::path& folder, std::string_view jet_statement) {
  OperationConnections& current = operation();
  if (current.depth == 0) return Connection::openDatabase(folder).run(jet_statement);
  auto shared = current.open.find(folder);
  if (shared == current.open.end()) {
    shared = current.open.emplace(folder, Connection::openDatabase(folder)).first;
  }
  return shared->second.run(jet_statement);
}

}  // namespace store
