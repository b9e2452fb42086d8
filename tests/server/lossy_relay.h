#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "temp_folder.h"

namespace server_tests {

// A relay on a Unix socket of its own in front of the tests' server that can lose the
// server's answer to the next statement holding a text (a COMMIT, say): the statement
// reaches the server, which carries it out, but the program's connection is cut before
// the answer comes back. It can also hold such a statement back, cutting the program's side
// at once, and hand it to the server only later, as a network or a paused server may.
class LossyRelay {
 public:
  LossyRelay();
  ~LossyRelay();
  LossyRelay(const LossyRelay&) = delete;
  LossyRelay& operator=(const LossyRelay&) = delete;

  // `uri` of a database on the tests' server, reached through the relay instead.
  std::string through(const std::string& uri) const;
  void loseNextAnswerTo(const std::string& text);
  void holdNext(const std::string& text);
  // Sends the statement held back to the server, waits for its answer, and closes.
  void releaseHeld();
  // How many answers it lost.
  int lost() const { return lost_; }

 private:
  void run();

  testing_support::TempFolder folder_;
  std::string server_folder_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  std::mutex mutex_;
  std::string lose_answer_to_;
  std::string hold_;
  std::string held_;
  int held_server_ = -1;
  std::atomic<int> lost_{0};
  std::thread thread_;
};

}  // namespace server_tests
