#pragma once

#include <stdexcept>
#include <string>

namespace store {

// Every failure of the store: which statement (or file) and what the engine said.
class StoreError : public std::runtime_error {
 public:
  StoreError(std::string statement, std::string engine_message)
      : std::runtime_error(engine_message + (statement.empty() ? "" : " [" + statement + "]")),
        statement_(std::move(statement)),
        engine_message_(std::move(engine_message)) {}

  const std::string& statement() const { return statement_; }
  const std::string& engineMessage() const { return engine_message_; }

 private:
  std::string statement_;
  std::string engine_message_;
};

}  // namespace store
