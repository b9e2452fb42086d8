#include "faulty_vfs.h"

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace testing_support {
namespace {

struct Fault {
  bool armed = false;
  FaultAt at = FaultAt::Read;
  int k = 0;
  int code = SQLITE_IOERR;
  int seen = 0;
  bool struck = false;
  std::string only;
};

Fault fault;
sqlite3_vfs* real_vfs = nullptr;
sqlite3_vfs faulty_vfs;

// Our file: the method table, then the real file's own structure right after it.
struct FaultyFile {
  sqlite3_file base;
  sqlite3_file* real;
  const char* name;  // valid until the file closes; null for a temporary file
};

sqlite3_file* realOf(sqlite3_file* file) {
  return reinterpret_cast<FaultyFile*>(file)->real;
}

// True when this operation on `file` is the one that must fail.
bool strikes(FaultAt at, sqlite3_file* file) {
  if (!fault.armed || fault.at != at || fault.struck) return false;
  const char* name = reinterpret_cast<FaultyFile*>(file)->name;
  if (!fault.only.empty() && (!name || !std::strstr(name, fault.only.c_str()))) return false;
  if (++fault.seen < fault.k) return false;
  fault.struck = true;
  return true;
}

int faultyClose(sqlite3_file* file) {
  sqlite3_file* real = realOf(file);
  return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}
int faultyRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (strikes(FaultAt::Read, file)) return fault.code;
  return realOf(file)->pMethods->xRead(realOf(file), buffer, amount, offset);
}
int faultyWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  if (strikes(FaultAt::Write, file)) return fault.code;
  return realOf(file)->pMethods->xWrite(realOf(file), buffer, amount, offset);
}
int faultyTruncate(sqlite3_file* file, sqlite3_int64 size) {
  return realOf(file)->pMethods->xTruncate(realOf(file), size);
}
int faultySync(sqlite3_file* file, int flags) {
  if (strikes(FaultAt::Sync, file)) return fault.code;
  return realOf(file)->pMethods->xSync(realOf(file), flags);
}
int faultyFileSize(sqlite3_file* file, sqlite3_int64* size) {
  return realOf(file)->pMethods->xFileSize(realOf(file), size);
}
int faultyLock(sqlite3_file* file, int level) {
  if (strikes(FaultAt::Lock, file)) return fault.code;
  return realOf(file)->pMethods->xLock(realOf(file), level);
}
int faultyUnlock(sqlite3_file* file, int level) {
  return realOf(file)->pMethods->xUnlock(realOf(file), level);
}
int faultyCheckReservedLock(sqlite3_file* file, int* result) {
  return realOf(file)->pMethods->xCheckReservedLock(realOf(file), result);
}
int faultyFileControl(sqlite3_file* file, int operation, void* argument) {
  return realOf(file)->pMethods->xFileControl(realOf(file), operation, argument);
}
int faultySectorSize(sqlite3_file* file) {
  return realOf(file)->pMethods->xSectorSize(realOf(file));
}
int faultyDeviceCharacteristics(sqlite3_file* file) {
  return realOf(file)->pMethods->xDeviceCharacteristics(realOf(file));
}

// Version 1 of the methods: the rollback journal needs no shared memory or memory mapping.
const sqlite3_io_methods kMethods = {1,
                                     faultyClose,
                                     faultyRead,
                                     faultyWrite,
                                     faultyTruncate,
                                     faultySync,
                                     faultyFileSize,
                                     faultyLock,
                                     faultyUnlock,
                                     faultyCheckReservedLock,
                                     faultyFileControl,
                                     faultySectorSize,
                                     faultyDeviceCharacteristics,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr};

int faultyOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  auto* ours = reinterpret_cast<FaultyFile*>(file);
  ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
  ours->base.pMethods = nullptr;
  ours->name = name;
  const int opened = real_vfs->xOpen(real_vfs, name, ours->real, flags, out_flags);
  if (opened == SQLITE_OK && ours->real->pMethods) ours->base.pMethods = &kMethods;
  return opened;
}

}  // namespace

FaultyVfs::FaultyVfs() {
  real_vfs = sqlite3_vfs_find(nullptr);
  if (!real_vfs) throw std::runtime_error("no default VFS");
  faulty_vfs = *real_vfs;
  faulty_vfs.iVersion = 1;
  faulty_vfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + real_vfs->szOsFile;
  faulty_vfs.zName = "tarvel-faulty";
  faulty_vfs.pNext = nullptr;
  faulty_vfs.xOpen = faultyOpen;
  fault = Fault{};
  sqlite3_vfs_register(&faulty_vfs, 1);
}

FaultyVfs::~FaultyVfs() {
  sqlite3_vfs_unregister(&faulty_vfs);
  sqlite3_vfs_register(real_vfs, 1);
}

void FaultyVfs::arm(FaultAt at, int k, int code, const std::string& only) {
  fault = Fault{true, at, k, code, 0, false, only};
}

void FaultyVfs::disarm() {
  fault.armed = false;
}

bool FaultyVfs::struck() const {
  return fault.struck;
}

}  // namespace testing_support
