#pragma once

#include <string>

namespace testing_support {

// Which file operation a fault strikes.
enum class FaultAt { Read, Write, Sync, Lock };

// An SQLite VFS over the system's own that fails one chosen operation: once armed, the k-th
// read, write, sync or lock (counted from 1 over every file SQLite opens: database, journal)
// returns `code` instead of doing its work. It is the default VFS while it lives, so the
// program's own connections go through it. One at a time.
class FaultyVfs {
 public:
  FaultyVfs();
  ~FaultyVfs();
  FaultyVfs(const FaultyVfs&) = delete;
  FaultyVfs& operator=(const FaultyVfs&) = delete;

  // With `only`, counts and fails only operations on files whose path contains it.
  void arm(FaultAt at, int k, int code, const std::string& only = {});
  void disarm();
  // Whether the armed fault has struck.
  bool struck() const;
};

}  // namespace testing_support
