#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace store {

// Every failure of the store: which statement (or file) failed, what the engine said and its
// extended result code (0 when the failure was found by the program itself). what() is the
// operator's explanation, cause(); it never holds the statement, which may carry typed text
// such as an access key.
class StoreError : public std::runtime_error {
 public:
  // The kinds of engine failure the program tells apart.
  enum class Kind { Busy, ReadOnly, ReadOnlyFolder, Full, NotADatabase, CannotOpen, Io, Other };

  StoreError(std::string statement, std::string engine_message, int code = 0);

  const std::string& statement() const { return statement_; }
  const std::string& engineMessage() const { return engine_message_; }
  int code() const { return code_; }
  Kind kind() const;
  // A plain-Spanish sentence of what went wrong, with the engine's own text as a detail in
  // parentheses. A failure found by the program itself already carries a Spanish message,
  // which comes back as it is.
  std::string cause() const { return what(); }
  // The sentence of cause() without the engine's text, and that text (empty when the
  // sentence is the engine's own): a screen shows the one and keeps the other as a detail.
  std::string explanation() const;
  std::string detail() const;

 private:
  std::string statement_;
  std::string engine_message_;
  int code_;
};

// The connection was lost while a commit's answer was awaited: the transaction may have been
// committed or not. The caller reads back what it wrote before telling the operator.
class CommitOutcomeUnknown : public StoreError {
 public:
  explicit CommitOutcomeUnknown(const StoreError& lost) : StoreError(lost) {}
};

// The server ended an idle connection (an administrator, a restart) before it ran the
// statement: nothing of it took effect, and it may run again on a new connection.
class ConnectionDropped : public StoreError {
 public:
  explicit ConnectionDropped(const StoreError& dropped) : StoreError(dropped) {}
};

// The database server cannot be reached (a kind of "cannot open"); the engine's message is
// then already the operator's explanation.
inline constexpr int kServerUnreachable = 14 | (0x40 << 8);

// The operator's explanation of an engine failure, as cause() gives it.
std::string explainFailure(std::string_view engine_message, int code);

}  // namespace store
