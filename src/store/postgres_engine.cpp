#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "store/engine.h"
#include "store/error.h"
#include "store/jet_dialect.h"
#include "store/libpq_library.h"
#include "store/postgres_statement.h"
#include "store/schema.h"
#include "store/server_settings.h"
#include "text/encoding.h"

namespace store {
namespace {

struct ConnectionCloser {
  void operator()(PGconn* connection) const { libpq().PQfinish(connection); }
};
using ConnectionHandle = std::unique_ptr<PGconn, ConnectionCloser>;

struct OptionsFreer {
  void operator()(PQconninfoOption* options) const { libpq().PQconninfoFree(options); }
};
using OptionsHandle = std::unique_ptr<PQconninfoOption, OptionsFreer>;

struct ResultClearer {
  void operator()(PGresult* result) const { libpq().PQclear(result); }
};
using ResultHandle = std::unique_ptr<PGresult, ResultClearer>;

// Type numbers of the server's built-in types (fixed by the server's catalogue).
constexpr Oid kBool = 16;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

// The kind of failure a server error state reports.
StoreError::Kind kindOfState(std::string_view state) {
  using Kind = StoreError::Kind;
  if (state == "40001" || state == "40P01") return Kind::Serialization;
  if (state == "55P03") return Kind::Busy;
  if (state == "53100") return Kind::Full;
  if (state == "25006") return Kind::ReadOnly;
  if (state == "42501") return Kind::NotPermitted;
  if (state == "42P01") return Kind::MissingTable;
  if (state == "42703") return Kind::MissingColumn;
  if (state.substr(0, 2) == "23") return Kind::Constraint;
  if (state.substr(0, 2) == "08" || state == "57P01" || state == "57P02" || state == "57P03") {
    return Kind::Unreachable;
  }
  if (state.substr(0, 2) == "53") return Kind::OutOfMemory;
  return Kind::Other;
}

std::string firstLine(const char* message) {
  std::string line = message ? message : "";
  line = line.substr(0, line.find('\n'));
  return line;
}

// What the client library reads in a server URI, keyword by keyword. The URI itself is
// never put in a failure: it may hold a password.
std::map<std::string, std::string> parsedUri(const std::string& uri) {
  char* error = nullptr;
  const OptionsHandle options(libpq().PQconninfoParse(uri.c_str(), &error));
  if (!options) {
    const std::string why = error ? firstLine(error) : "sin memoria";
    libpq().PQfreemem(error);
    throw StoreError("servidor", "la dirección del servidor no se puede leer: " + why);
  }
  std::map<std::string, std::string> read;
  for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
    if (option->val) read[option->keyword] = option->val;
  }
  return read;
}

// How long past its own limit the server may take to report a statement it cancelled.
constexpr int kGraceSeconds = 2;

// The server folds names to lower case; a table of the program is named as it is spelt.
std::string tableSpelling(const std::string& folded) {
  for (const std::string& table : tableNames()) {
    if (text::foldCase(table) == folded) return table;
  }
  return folded;
}

// The table or column a server message such as `relation "reg_nada" does not exist` or
// `column cat_ori.nada does not exist` names, a table spelt as the program spells it.
std::string missingName(const std::string& message, StoreError::Kind kind) {
  constexpr std::string_view kMissing = " does not exist";
  const auto end = message.find(kMissing);
  const auto space = message.find(' ');
  if (end == std::string::npos || space == std::string::npos || space >= end) return message;
  std::string name = message.substr(space + 1, end - space - 1);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    name = name.substr(1, name.size() - 2);
  }
  return kind == StoreError::Kind::MissingTable ? tableSpelling(name) : name;
}

// The statement's first word, in capitals.
std::string firstWord(std::string_view statement) {
  const auto first = statement.find_first_not_of(" \t\r\n");
  std::string word;
  for (std::size_t i = first == std::string_view::npos ? statement.size() : first;
       i < statement.size() && std::isalpha(static_cast<unsigned char>(statement[i])); ++i) {
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(statement[i])));
  }
  return word;
}

// Whether `statement` is a read or the start of a transaction.
bool changesNothing(std::string_view statement) {
  const std::string word = firstWord(statement);
  return word.empty() || word == "SELECT" || word == "BEGIN";
}

Value readField(const PGresult* result, int row, int column) {
  if (libpq().PQgetisnull(result, row, column)) return Value();
  const char* data = libpq().PQgetvalue(result, row, column);
  const std::string text(data, static_cast<std::size_t>(libpq().PQgetlength(result, row, column)));
  switch (libpq().PQftype(result, column)) {
    case kInt2:
    case kInt4:
    case kInt8: {
      std::int64_t number = 0;
      std::from_chars(text.data(), text.data() + text.size(), number);
      return Value(number);
    }
    case kFloat4:
    case kFloat8:
    case kNumeric: {
      double number = 0;
      std::from_chars(text.data(), text.data() + text.size(), number);
      return Value(number);
    }
    case kBool:
      return Value(std::int64_t{text == "t" ? 1 : 0});
    default:
      return Value(text);
  }
}

class PostgresEngine : public Engine {
 public:
  PostgresEngine(ConnectionHandle connection, const ServerSettings& server)
      : connection_(std::move(connection)), answer_seconds_(server.answerSeconds) {
    session_ = libpq().PQbackendPID(connection_.get());
    session_start_ = execute("SELECT backend_start FROM pg_stat_get_activity(?)",
                             Row{Value(std::int64_t{session_})})[0][0]
                         .asText();
  }

  Backend backend() const override { return Backend::PostgreSQL; }
  bool usable() const override;
  std::string translate(std::string_view jet_statement) const override {
    return translateJet(jet_statement, Backend::PostgreSQL);
  }
  Rows execute(std::string_view statement, const Row& values) override;
  std::string_view beginStatement(TransactionKind kind) const override {
    // Serialisable: two stations' checks and writes behave as if one ran after the other,
    // or one of them is told to run again.
    return kind == TransactionKind::Write ? "BEGIN ISOLATION LEVEL SERIALIZABLE" : "BEGIN";
  }
  bool mayRetry(const StoreError& failure) const override {
    return failure.kind() == StoreError::Kind::Serialization;
  }
  // The record key's own counter: the audit log's trigger draws from a counter of its own
  // after the insert, which `lastval()` would name instead.
  std::int64_t lastInsertedKey() override {
    return execute("SELECT currval('reg_pre_consec_seq')", {})[0][0].asInteger();
  }
  void endPrevious(const Engine& previous) override;
  std::vector<std::string> columnsOf(const std::string& table) override {
    std::vector<std::string> names;
    for (const Row& row : execute("SELECT column_name FROM information_schema.columns "
                                  "WHERE table_schema = current_schema() AND "
                                  "table_name = lower(?) ORDER BY ordinal_position",
                                  Row{Value(table)})) {
      names.push_back(row[0].asText());
    }
    return names;
  }

 private:
  StoreError failure(std::string_view statement, const PGresult* result) const;
  StoreError silence(std::string_view statement) const;
  // Waits for the answer to the statement sent, up to the time limit; false when none came.
  bool awaitAnswer();
  // The answer to what was sent for `statement` (nothing when `sent` is false), or the
  // failure it reports; `idle` says whether the connection was outside a transaction, and
  // `harmless` whether what was sent changes nothing, so may run again on a new connection.
  ResultHandle answer(std::string_view statement, bool idle, bool sent, bool harmless);
  // The name of the server's prepared form of `numbered`, prepared the second time the text
  // runs on this connection; null while it is not (yet) prepared.
  const std::string* preparedName(std::string_view statement, const std::string& numbered,
                                  int parameters, bool idle);

  struct Seen {
    int uses = 0;
    std::string name;
  };
  ConnectionHandle connection_;
  int answer_seconds_;
  // The server session behind the connection: its process and when it started.
  int session_ = 0;
  std::string session_start_;
  std::unordered_map<std::string, Seen> statements_;
  int prepared_ = 0;
};

StoreError PostgresEngine::silence(std::string_view statement) const {
  return StoreError(std::string(statement),
                    "el servidor de la base de datos no respondió en " +
                        std::to_string(answer_seconds_) +
                        " s; revise que el servidor y la red funcionen y vuelva a intentarlo",
                    StoreError::Kind::TimedOut);
}

// A connection the server dropped while it was idle (a terminated backend, a restart) has
// its notice or end of stream waiting on the socket: read it, and the connection says so.
bool PostgresEngine::usable() const {
  if (!connection_ || libpq().PQstatus(connection_.get()) != CONNECTION_OK) return false;
  pollfd socket{libpq().PQsocket(connection_.get()), POLLIN, 0};
  if (poll(&socket, 1, 0) > 0 && !libpq().PQconsumeInput(connection_.get())) return false;
  return libpq().PQstatus(connection_.get()) == CONNECTION_OK &&
         libpq().PQtransactionStatus(connection_.get()) != PQTRANS_UNKNOWN;
}

bool PostgresEngine::awaitAnswer() {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(answer_seconds_ + kGraceSeconds);
  constexpr int kTickMs = 100;
  while (libpq().PQconsumeInput(connection_.get()) && libpq().PQisBusy(connection_.get())) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd socket{libpq().PQsocket(connection_.get()), POLLIN, 0};
    poll(&socket, 1, static_cast<int>(std::min<long long>(left, kTickMs)));
    stillWorking();
  }
  return true;
}

StoreError PostgresEngine::failure(std::string_view statement, const PGresult* result) const {
  const char* state = result ? libpq().PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  if (state && std::string_view(state) == "57014") return silence(statement);
  if (libpq().PQstatus(connection_.get()) == CONNECTION_BAD || !state) {
    return StoreError(std::string(statement),
                      "se perdió la conexión con el servidor de la base de datos (" +
                          firstLine(libpq().PQerrorMessage(connection_.get())) +
                          "); revise que el servidor siga encendido y vuelva a intentarlo",
                      StoreError::Kind::Unreachable);
  }
  const char* primary = libpq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  const StoreError::Kind kind = kindOfState(state);
  std::string message = firstLine(primary);
  std::string missing =
      kind == StoreError::Kind::MissingTable || kind == StoreError::Kind::MissingColumn
          ? missingName(message, kind)
          : std::string();
  return StoreError(std::string(statement), std::move(message), kind, std::move(missing));
}

// A session the program gave up on (no answer in time, a connection cut on the program's
// side) may still hold a transaction whose COMMIT is on its way or in its socket: it could
// commit after the new connection has read that it did not. It is ended first, and waited
// for; one that is gone already, or was never left open, costs a look.
void PostgresEngine::endPrevious(const Engine& previous) {
  const auto* old = dynamic_cast<const PostgresEngine*>(&previous);
  if (!old || old->session_ == 0) return;
  const Rows ended = execute(
      "SELECT pg_terminate_backend(pid, ?) FROM pg_stat_get_activity(?) "
      "WHERE backend_start = ?",
      Row{Value(std::int64_t{answer_seconds_ * 500}), Value(std::int64_t{old->session_}),
          Value(old->session_start_)});
  if (!ended.empty() && ended[0][0].asInteger() == 0) {
    throw StoreError("pg_terminate_backend",
                     "una conexión anterior de este equipo sigue abierta en el servidor de la "
                     "base de datos y no terminó a tiempo; vuelva a intentarlo en un momento",
                     StoreError::Kind::Unreachable);
  }
}

ResultHandle PostgresEngine::answer(std::string_view statement, bool idle, bool sent,
                                    bool harmless) {
  if (sent && !awaitAnswer()) {
    // A server that stopped answering is given up on: the connection is closed, and the
    // server ends whatever it was doing when it notices.
    connection_.reset();
    statements_.clear();
    throw silence(statement);
  }
  ResultHandle result(sent ? libpq().PQgetResult(connection_.get()) : nullptr);
  while (ResultHandle more{result ? libpq().PQgetResult(connection_.get()) : nullptr}) {
    result = std::move(more);
  }
  const ExecStatusType status = result ? libpq().PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return result;
  const char* state = result ? libpq().PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
  // A connection the server ended while it was idle: a statement it never received, one
  // it refused because it was ending the session, or one that changes nothing may run
  // again on a new connection.
  const bool ended = state && std::string_view(state).substr(0, 4) == "57P0";
  const bool lost = libpq().PQstatus(connection_.get()) == CONNECTION_BAD;
  if (idle && (ended || (lost && (!sent || harmless)))) {
    throw ConnectionDropped(failure(statement, result.get()));
  }
  throw failure(statement, result.get());
}

// A text run again is worth the server's keeping it parsed and planned: the kept connection
// then sends only the values. The server re-plans a kept statement by itself when a table
// changes. Past the cache's size (and only between transactions) it starts afresh. The
// statements that open and close transactions are left as they are.
const std::string* PostgresEngine::preparedName(std::string_view statement,
                                                const std::string& numbered, int parameters,
                                                bool idle) {
  constexpr int kKeptStatements = 128;
  if (const std::string word = firstWord(statement);
      word != "SELECT" && word != "INSERT" && word != "UPDATE" && word != "DELETE") {
    return nullptr;
  }
  if (const auto known = statements_.find(numbered);
      known != statements_.end() && !known->second.name.empty()) {
    return &known->second.name;
  }
  if (prepared_ >= kKeptStatements || statements_.size() >= 4 * kKeptStatements) {
    if (!idle) return nullptr;
    statements_.clear();
    if (prepared_ > 0) {
      prepared_ = 0;
      answer("DEALLOCATE ALL", idle, libpq().PQsendQuery(connection_.get(), "DEALLOCATE ALL") != 0,
             true);
    }
  }
  Seen& seen = statements_[numbered];
  if (++seen.uses < 2) return nullptr;
  const std::string name = "t" + std::to_string(++prepared_);
  answer(statement, idle,
         libpq().PQsendPrepare(connection_.get(), name.c_str(), numbered.c_str(), parameters,
                               nullptr) != 0,
         true);
  seen.name = name;
  return &seen.name;
}

Rows PostgresEngine::execute(std::string_view statement, const Row& values) {
  statementStarting(statement, values);
  // The client library reads the statement up to a NUL: a NUL would hide the rest.
  if (statement.find('\0') != std::string_view::npos) {
    throw StoreError(std::string(statement), "el texto contiene más de una instrucción");
  }
  const std::string numbered = numberedParameters(statement);
  std::vector<std::string> texts;
  std::vector<const char*> pointers;
  texts.reserve(values.size());
  for (const Value& value : values) {
    texts.push_back(parameterText(value));
    // The client library reads a value up to a NUL, and the server's text holds none.
    if (value.isText() && texts.back().find('\0') != std::string::npos) {
      throw StoreError(std::string(statement),
                       "un texto contiene un carácter nulo, que el servidor de la base de datos "
                       "no guarda");
    }
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    pointers.push_back(values[i].isNull() ? nullptr : texts[i].c_str());
  }
  if (!connection_) throw silence(statement);
  const bool idle = libpq().PQtransactionStatus(connection_.get()) == PQTRANS_IDLE;
  const int count = static_cast<int>(pointers.size());
  // Always the extended protocol, which takes exactly one statement.
  const std::string* name = preparedName(statement, numbered, count, idle);
  const int sent = name ? libpq().PQsendQueryPrepared(connection_.get(), name->c_str(), count,
                                                      pointers.data(), nullptr, nullptr, 0)
                        : libpq().PQsendQueryParams(connection_.get(), numbered.c_str(), count,
                                                    nullptr, pointers.data(), nullptr, nullptr, 0);
  ResultHandle result;
  try {
    result = answer(statement, idle, sent != 0, changesNothing(statement));
  } catch (const StoreError&) {
    // A kept statement that failed is prepared afresh if it runs again.
    statements_.erase(numbered);
    throw;
  }
  const ExecStatusType status = libpq().PQresultStatus(result.get());
  const char* changed = libpq().PQcmdTuples(result.get());
  if (changed && *changed && std::strcmp(changed, "0") != 0 && status == PGRES_COMMAND_OK) {
    rowsChanged();
  }
  Rows rows;
  const int found = libpq().PQntuples(result.get());
  const int columns = libpq().PQnfields(result.get());
  rows.reserve(static_cast<std::size_t>(found));
  for (int r = 0; r < found; ++r) {
    Row row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(readField(result.get(), r, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

std::unique_ptr<Engine> openPostgresEngine(const ServerSettings& server) {
  checkServerUri(server.uri);
  std::map<std::string, std::string> settings = parsedUri(server.uri);
  settings["connect_timeout"] = std::to_string(server.connectSeconds);
  // A peer that vanished from the network is noticed within about half a minute.
  settings["keepalives"] = "1";
  settings["keepalives_idle"] = "15";
  settings["keepalives_interval"] = "5";
  settings["keepalives_count"] = "3";
  settings["client_encoding"] = "UTF8";
  // The audit log names the station by its program and host.
  char host[64] = {};
  gethostname(host, sizeof host - 1);
  settings.try_emplace("application_name", std::string("tarvel-captura@") + host);
  // Options given in the URI come first; the pinned ones, later, win.
  std::string& options = settings["options"];
  options += std::string(options.empty() ? "" : " ") + kPinnedSettings +
             " -c statement_timeout=" + std::to_string(server.answerSeconds * 1000);
  std::vector<const char*> keywords;
  std::vector<const char*> values;
  for (const auto& [keyword, value] : settings) {
    keywords.push_back(keyword.c_str());
    values.push_back(value.c_str());
  }
  keywords.push_back(nullptr);
  values.push_back(nullptr);
  ConnectionHandle connection(libpq().PQconnectdbParams(keywords.data(), values.data(), 0));
  if (!connection || libpq().PQstatus(connection.get()) != CONNECTION_OK) {
    throw StoreError(serverName(server.uri),
                     "no se pudo conectar con el servidor de la base de datos (" +
                         firstLine(connection ? libpq().PQerrorMessage(connection.get()) : "") +
                         "); revise que el servidor esté encendido y que este equipo pueda "
                         "llegar a él",
                     StoreError::Kind::Unreachable);
  }
  // The server's notices ("…does not exist, skipping") are not the operator's business.
  libpq().PQsetNoticeProcessor(
      connection.get(), [](void*, const char*) {}, nullptr);
  return std::make_unique<PostgresEngine>(std::move(connection), server);
}

void checkServerUri(const std::string& uri) {
  const auto read = parsedUri(uri);
  if (const auto password = read.find("password");
      password != read.end() && !password->second.empty()) {
    throw StoreError("servidor",
                     "la dirección del servidor contiene una contraseña; quítela y póngala en "
                     "~/.pgpass o en la variable PGPASSWORD");
  }
}

std::string serverName(const std::string& uri) {
  std::map<std::string, std::string> read;
  try {
    read = parsedUri(uri);
  } catch (const StoreError&) {
    return "(dirección del servidor que no se puede leer)";
  }
  const auto field = [&](const char* keyword) {
    const auto found = read.find(keyword);
    return found == read.end() ? std::string() : found->second;
  };
  const std::string host = field("host");
  const bool socket = !host.empty() && host.front() == '/';
  std::string name = "postgresql://";
  if (!field("user").empty()) name += field("user") + "@";
  if (!socket) name += host;
  if (!socket && !field("port").empty()) name += ":" + field("port");
  name += "/" + field("dbname");
  if (socket) name += "?host=" + host + (field("port").empty() ? "" : "&port=" + field("port"));
  return name;
}

}  // namespace store
