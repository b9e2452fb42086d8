#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sqlite_alone.h"

struct pg_conn;

namespace bench {

// The same statements run on a PostgreSQL database through libpq alone: one connection with
// the program's settings, each statement sent with its values in one round trip the first
// time and prepared on the server when it comes again, every column of every row read.
class LibpqAlone {
 public:
  explicit LibpqAlone(std::string uri) : uri_(std::move(uri)) {}
  ~LibpqAlone();
  LibpqAlone(const LibpqAlone&) = delete;
  LibpqAlone& operator=(const LibpqAlone&) = delete;

  // Opens a new connection in place of the one open, as a start does.
  void connect();
  void run(const std::vector<Recorded>& statements);

 private:
  void close();

  std::string uri_;
  pg_conn* connection_ = nullptr;
  // How often each numbered text ran on this connection, and its prepared name once it has.
  std::unordered_map<std::string, std::pair<int, std::string>> seen_;
  int prepared_ = 0;
};

}  // namespace bench
