#pragma once

#include <stdexcept>
#include <string>

namespace store {

// Every failure of the store: which statement (or file) failed, what the engine said and the
// kind of failure it was. what() is the operator's explanation, cause(); it never holds the
// statement, which may carry typed text such as an access key.
class StoreError : public std::runtime_error {
 public:
  // The kinds of failure the program tells apart, whatever the engine. Each engine maps its
  // own codes to them.
  enum class Kind {
    Program,         // found by the program itself: the message is already the explanation
    Busy,            // another program or station holds what is needed
    Serialization,   // the server undid the transaction so that it may run again
    ReadOnly,        // the database may not be written
    ReadOnlyFolder,  // the file's folder may not be written (its journal cannot be made)
    NotPermitted,    // the server's role may not do it (a permission, or another delegation's row)
    Full,
    NotADatabase,  // not a database of this program, or damaged
    CannotOpen,    // the database file cannot be opened
    MissingTable,
    MissingColumn,
    Constraint,
    OutOfMemory,
    Io,
    Unreachable,  // the server cannot be reached: the message is already the explanation
    TimedOut,     // the server did not answer in time: the message is the explanation
    Other
  };

  // `missing` names the table or column of a MissingTable or MissingColumn failure.
  StoreError(std::string statement, std::string engine_message, Kind kind = Kind::Program,
             std::string missing = {});
  // The same failure, told of `statement`.
  StoreError(std::string statement, const StoreError& failure);

  const std::string& statement() const { return statement_; }
  const std::string& engineMessage() const { return engine_message_; }
  Kind kind() const { return kind_; }
  const std::string& missingName() const { return missing_; }
  // The server went away or stopped answering: what was under way may have taken effect.
  bool lostTheServer() const { return kind_ == Kind::Unreachable || kind_ == Kind::TimedOut; }
  // A plain-Spanish sentence of what went wrong, with the engine's own text as a detail in
  // parentheses. A failure whose message is already the explanation comes back as it is.
  std::string cause() const { return what(); }
  // The sentence of cause() without the engine's text, and that text (empty when the
  // sentence is the message itself): a screen shows the one and keeps the other as a detail.
  std::string explanation() const;
  std::string detail() const;

 private:
  std::string statement_;
  std::string engine_message_;
  Kind kind_;
  std::string missing_;
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

}  // namespace store
