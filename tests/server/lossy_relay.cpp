#include "lossy_relay.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace server_tests {
namespace {

constexpr const char* kSocketName = "/.s.PGSQL.5432";

sockaddr_un addressOf(const std::string& folder) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = folder + kSocketName;
  if (path.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

int unixSocket() {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  return fd;
}

// Copies what `from` has ready to `to`; false when either side is closed.
bool pass(int from, int to, std::string* copied) {
  char buffer[65536];
  const ssize_t read_bytes = read(from, buffer, sizeof buffer);
  if (read_bytes <= 0) return false;
  if (copied) copied->assign(buffer, static_cast<std::size_t>(read_bytes));
  return write(to, buffer, static_cast<std::size_t>(read_bytes)) == read_bytes;
}

}  // namespace

LossyRelay::LossyRelay() {
  const char* server = std::getenv("TARVEL_TEST_SERVER");
  if (!server) throw std::runtime_error("TARVEL_TEST_SERVER is not set");
  server_folder_ = server;
  listener_ = unixSocket();
  const sockaddr_un address = addressOf(folder_.path().string());
  if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 || pipe(stop_) != 0) {
    throw std::runtime_error("the relay could not listen");
  }
  thread_ = std::thread([this] { run(); });
}

LossyRelay::~LossyRelay() {
  const char stop = 1;
  if (write(stop_[1], &stop, 1) != 1) std::abort();
  thread_.join();
  for (const int fd : {listener_, stop_[0], stop_[1], held_server_}) {
    if (fd >= 0) close(fd);
  }
}

void LossyRelay::loseNextAnswerTo(const std::string& text) {
  const std::lock_guard lock(mutex_);
  lose_answer_to_ = text;
}

void LossyRelay::holdNext(const std::string& text) {
  const std::lock_guard lock(mutex_);
  hold_ = text;
}

void LossyRelay::releaseHeld() {
  const std::lock_guard lock(mutex_);
  if (held_server_ < 0) return;
  // The session may be gone: its socket then refuses the bytes without a signal.
  if (send(held_server_, held_.data(), held_.size(), MSG_NOSIGNAL) ==
      static_cast<ssize_t>(held_.size())) {
    pollfd answer{held_server_, POLLIN, 0};
    poll(&answer, 1, 2000);
  }
  close(held_server_);
  held_server_ = -1;
}

std::string LossyRelay::through(const std::string& uri) const {
  const std::string host = "host=" + server_folder_;
  std::string relayed = uri;
  relayed.replace(relayed.find(host), host.size(), "host=" + folder_.path().string());
  return relayed;
}

void LossyRelay::run() {
  struct Pair {
    int program;
    int server;
  };
  std::vector<Pair> pairs;
  while (true) {
    std::vector<pollfd> watched{{stop_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
    for (const Pair& pair : pairs) {
      watched.push_back({pair.program, POLLIN, 0});
      watched.push_back({pair.server, POLLIN, 0});
    }
    if (poll(watched.data(), watched.size(), -1) < 0) continue;
    if (watched[0].revents) break;
    // A pair accepted below was not watched in this round.
    const std::size_t watched_pairs = pairs.size();
    if (watched[1].revents) {
      const int program = accept(listener_, nullptr, nullptr);
      const int server = unixSocket();
      const sockaddr_un address = addressOf(server_folder_);
      if (connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        pairs.push_back({program, server});
      } else {
        close(program);
        close(server);
      }
    }
    for (std::size_t i = 0; i < watched_pairs; ++i) {
      const pollfd& from_program = watched[2 + 2 * i];
      const pollfd& from_server = watched[3 + 2 * i];
      bool open = true;
      if (from_program.revents) {
        std::string sent;
        const std::lock_guard lock(mutex_);
        if (!hold_.empty()) {
          char buffer[65536];
          const ssize_t got = read(pairs[i].program, buffer, sizeof buffer);
          sent.assign(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
          if (got > 0 && sent.find(hold_) != std::string::npos) {
            // The server keeps waiting for it; the program's side is cut.
            hold_.clear();
            held_ = sent;
            held_server_ = pairs[i].server;
            close(pairs[i].program);
            pairs[i].program = -1;
            continue;
          }
          open = got > 0 && write(pairs[i].server, buffer, static_cast<std::size_t>(got)) == got;
        } else {
          open = pass(pairs[i].program, pairs[i].server, &sent);
        }
        if (open && !lose_answer_to_.empty() && sent.find(lose_answer_to_) != std::string::npos) {
          // The server gets the statement and carries it out; its answer has nowhere to go.
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          lose_answer_to_.clear();
          ++lost_;
          open = false;
        }
      }
      if (open && from_server.revents) open = pass(pairs[i].server, pairs[i].program, nullptr);
      if (!open) {
        close(pairs[i].program);
        close(pairs[i].server);
        pairs[i].program = -1;
      }
    }
    std::erase_if(pairs, [](const Pair& pair) { return pair.program < 0; });
  }
  for (const Pair& pair : pairs) {
    close(pair.program);
    close(pair.server);
  }
}

}  // namespace server_tests
