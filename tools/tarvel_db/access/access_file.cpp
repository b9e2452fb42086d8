#include "access/access_file.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "access/mdb_reading.h"
#include "text/encoding.h"

namespace tarvel_db {
namespace {

namespace fs = std::filesystem;

// A reading that makes no progress for this long is taken for libmdb going round in circles
// on a damaged file; a sound reading sends a row far more often.
constexpr int kSilenceMs = 10000;

// What the reading child sends: messages of a kind letter and fields, each a null mark, a
// length and its bytes.
using Fields = std::vector<std::optional<std::string>>;

void writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) _exit(3);  // the parent has stopped listening
    done += static_cast<std::size_t>(wrote);
  }
}

void putNumber(std::string& out, std::uint32_t number) {
  out.append(reinterpret_cast<const char*>(&number), sizeof number);
}

void send(int fd, char kind, const Fields& fields) {
  std::string message(1, kind);
  putNumber(message, static_cast<std::uint32_t>(fields.size()));
  for (const auto& field : fields) {
    message += field ? '\1' : '\0';
    putNumber(message, static_cast<std::uint32_t>(field ? field->size() : 0));
    if (field) message += *field;
  }
  writeAll(fd, message);
}

// Takes one whole message off the front of `buffer`; false while it is not all there.
bool takeMessage(std::string& buffer, char& kind, Fields& fields) {
  std::size_t at = 0;
  const auto number = [&](std::uint32_t& value) {
    if (buffer.size() < at + sizeof value) return false;
    std::memcpy(&value, buffer.data() + at, sizeof value);
    at += sizeof value;
    return true;
  };
  if (buffer.empty()) return false;
  at = 1;
  std::uint32_t count = 0;
  if (!number(count)) return false;
  Fields read;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (buffer.size() < at + 1) return false;
    const bool present = buffer[at++] != '\0';
    std::uint32_t length = 0;
    if (!number(length) || buffer.size() < at + length) return false;
    read.push_back(present ? std::optional<std::string>(buffer.substr(at, length)) : std::nullopt);
    at += length;
  }
  kind = buffer[0];
  fields = std::move(read);
  buffer.erase(0, at);
  return true;
}

// The child reading the file: stopped and reaped however the parent leaves.
class Child {
 public:
  Child(pid_t pid, int fd) : pid_(pid), fd_(fd) {}
  ~Child() {
    close(fd_);
    if (!reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  int fd() const { return fd_; }
  void reap() {
    waitpid(pid_, nullptr, 0);
    reaped_ = true;
  }

 private:
  pid_t pid_;
  int fd_;
  bool reaped_ = false;
};

// Runs `reading` in a child process that sends its findings as messages, handed one by one
// to `message` here. A child that fails tells why; one that crashes or stops answering is a
// damaged file, and this process goes on.
void readApart(const fs::path& file, const std::function<void(int fd)>& reading,
               const std::function<void(char kind, const Fields&)>& message) {
  int ends[2];
  if (pipe(ends) != 0) throw AccessError("no se pudo preparar la lectura de " + file.string());
  const pid_t pid = fork();
  if (pid < 0) {
    close(ends[0]);
    close(ends[1]);
    throw AccessError("no se pudo preparar la lectura de " + file.string());
  }
  if (pid == 0) {
    close(ends[0]);
    // libmdb writes its complaints in English on its own; the parent tells the operator.
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    // A crash ends the child quietly, whatever handlers the parent had set: the parent reads
    // it as a damaged file.
    for (const int deadly : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) signal(deadly, SIG_DFL);
    try {
      reading(ends[1]);
      send(ends[1], 'D', {});
    } catch (const std::exception& failure) {
      send(ends[1], 'E', {failure.what()});
    } catch (...) {
      send(ends[1], 'E', {std::string("error desconocido")});
    }
    _exit(0);
  }
  close(ends[1]);
  Child child(pid, ends[0]);
  std::string buffer;
  char chunk[1 << 16];
  while (true) {
    char kind = 0;
    Fields fields;
    while (takeMessage(buffer, kind, fields)) {
      if (kind == 'D') {
        child.reap();
        return;
      }
      if (kind == 'E') throw AccessError(fields.at(0).value_or(""));
      message(kind, fields);
    }
    pollfd ready{child.fd(), POLLIN, 0};
    if (poll(&ready, 1, kSilenceMs) <= 0) {
      throw AccessError("El archivo " + file.string() +
                        " está dañado: su lectura dejó de avanzar y se detuvo.");
    }
    const ssize_t got = read(child.fd(), chunk, sizeof chunk);
    if (got <= 0) {
      throw AccessError("El archivo " + file.string() +
                        " está dañado o incompleto: su lectura falló a medias. Cópielo de nuevo "
                        "desde el original.");
    }
    buffer.append(chunk, static_cast<std::size_t>(got));
  }
}

std::string kindNumber(AccessKind kind) {
  return std::to_string(static_cast<int>(kind));
}

}  // namespace

bool sameAccessName(std::string_view a, std::string_view b) {
  return text::foldCase(a) == text::foldCase(b);
}

const AccessTable* AccessSource::find(std::string_view name) const {
  for (const AccessTable& table : tables()) {
    if (sameAccessName(table.name, name)) return &table;
  }
  return nullptr;
}

AccessFile::AccessFile(const fs::path& file) : file_(file) {
  checkAccessHeader(file);
  readApart(
      file,
      [&](int fd) {
        const MdbContents contents = readContents(file);
        send(fd, 'F', {contents.format});
        for (const AccessTable& table : contents.tables) {
          Fields fields{table.name, std::to_string(table.rows)};
          for (const AccessColumn& column : table.columns) {
            fields.insert(fields.end(), {column.name, kindNumber(column.kind), column.typeName});
          }
          send(fd, 'T', fields);
        }
      },
      [&](char kind, const Fields& fields) {
        if (kind == 'F') format_ = fields.at(0).value_or("");
        if (kind != 'T') return;
        AccessTable table{fields.at(0).value_or(""), {}, std::stoll(fields.at(1).value_or("0"))};
        for (std::size_t i = 2; i + 2 < fields.size(); i += 3) {
          table.columns.push_back({fields[i].value_or(""),
                                   static_cast<AccessKind>(std::stoi(fields[i + 1].value_or("0"))),
                                   fields[i + 2].value_or("")});
        }
        tables_.push_back(std::move(table));
      });
}

void AccessFile::readRows(const std::string& table,
                          const std::function<void(const AccessRow&)>& row) const {
  readApart(
      file_,
      [&](int fd) {
        readTableRows(file_, table, [&](const AccessRow& read) { send(fd, 'R', read); });
      },
      [&](char kind, const Fields& fields) {
        if (kind == 'R') row(fields);
      });
}

}  // namespace tarvel_db
