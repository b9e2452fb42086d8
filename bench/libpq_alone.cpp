#include "libpq_alone.h"

#include <libpq-fe.h>

#include <cctype>
#include <stdexcept>

#include "store/postgres_statement.h"

namespace bench {
namespace {

struct ResultClearer {
  void operator()(PGresult* result) const { PQclear(result); }
};
using ResultHandle = std::unique_ptr<PGresult, ResultClearer>;

ResultHandle checked(PGconn* connection, PGresult* made, const std::string& what) {
  ResultHandle result(made);
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
    throw std::runtime_error(what + ": " + PQerrorMessage(connection));
  }
  return result;
}

// As the program does, only reads and writes are prepared, not a transaction's start or end.
bool preparable(const std::string& statement) {
  std::string word = statement.substr(0, statement.find(' '));
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word == "SELECT" || word == "INSERT" || word == "UPDATE" || word == "DELETE";
}

}  // namespace

LibpqAlone::~LibpqAlone() {
  close();
}

void LibpqAlone::close() {
  if (connection_) PQfinish(connection_);
  connection_ = nullptr;
  seen_.clear();
  prepared_ = 0;
}

void LibpqAlone::connect() {
  close();
  const char* keywords[] = {"dbname", "client_encoding", "options", nullptr};
  const char* values[] = {uri_.c_str(), "UTF8", store::kPinnedSettings, nullptr};
  connection_ = PQconnectdbParams(keywords, values, 1);
  if (PQstatus(connection_) != CONNECTION_OK) {
    throw std::runtime_error("libpq alone cannot connect: " +
                             std::string(PQerrorMessage(connection_)));
  }
}

void LibpqAlone::run(const std::vector<Recorded>& statements) {
  std::vector<std::string> texts;
  std::vector<const char*> pointers;
  for (const Recorded& recorded : statements) {
    texts.clear();
    pointers.clear();
    for (const store::Value& value : recorded.values) {
      texts.push_back(store::parameterText(value));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
      pointers.push_back(recorded.values[i].isNull() ? nullptr : texts[i].c_str());
    }
    const std::string numbered = store::numberedParameters(recorded.statement);
    const int count = static_cast<int>(pointers.size());
    auto& [uses, name] = seen_[numbered];
    if (++uses == 2 && preparable(numbered)) {
      name = "a" + std::to_string(++prepared_);
      checked(connection_, PQprepare(connection_, name.c_str(), numbered.c_str(), count, nullptr),
              recorded.statement);
    }
    const ResultHandle result =
        checked(connection_,
                name.empty() ? PQexecParams(connection_, numbered.c_str(), count, nullptr,
                                            pointers.data(), nullptr, nullptr, 0)
                             : PQexecPrepared(connection_, name.c_str(), count, pointers.data(),
                                              nullptr, nullptr, 0),
                recorded.statement);
    for (int row = 0; row < PQntuples(result.get()); ++row) {
      for (int column = 0; column < PQnfields(result.get()); ++column) {
        PQgetvalue(result.get(), row, column);
      }
    }
  }
}

}  // namespace bench
