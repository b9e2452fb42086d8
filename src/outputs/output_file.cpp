#include "outputs/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "text/encoding.h"

namespace outputs {
namespace {

std::string explainErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "no hay permiso para escribir en la carpeta; pida que se dé permiso de escritura";
    case EROFS:
      return "la carpeta está en un disco de solo lectura";
    case ENOSPC:
    case EDQUOT:
      return "el disco está lleno; libere espacio y vuelva a intentarlo";
    case ENOENT:
    case ENOTDIR:
      return "la carpeta no existe";
    case EISDIR:
      return "hay una carpeta con el nombre del archivo";
    case EIO:
      return "falló la escritura en el disco";
    default:
      return "el sistema no lo permitió (" + std::string(std::strerror(error)) + ")";
  }
}

// A free name beside the target, hidden from the folder's usual listing.
std::filesystem::path temporaryName(const std::filesystem::path& target, int attempt) {
  return target.parent_path() / ("." + target.filename().string() + "." +
                                 std::to_string(::getpid()) + "-" + std::to_string(attempt));
}

}  // namespace

FileError::FileError(const std::filesystem::path& file, const std::string& cause)
    : std::runtime_error("No se pudo escribir el archivo " + file.string() + ".\nCausa: " + cause +
                         "."),
      cause_(cause) {}

OutputFile::OutputFile(std::filesystem::path target) : target_(std::move(target)) {
  for (int attempt = 0; descriptor_ < 0; ++attempt) {
    temporary_ = temporaryName(target_, attempt);
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0 && (errno != EEXIST || attempt == 100)) {
      throw FileError(target_, explainErrno(errno));
    }
  }
  pending_ = true;
}

OutputFile::~OutputFile() {
  discard();
}

void OutputFile::discard() noexcept {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  if (pending_) ::unlink(temporary_.c_str());
  pending_ = false;
}

void OutputFile::writeLine(std::string_view utf8) {
  lines_.append(utf8).append("\r\n");
}

void OutputFile::commit() {
  const std::string bytes = text::toWindows1252(lines_);
  const auto check = [this](bool done) {
    if (done) return;
    const int error = errno;
    discard();
    throw FileError(target_, explainErrno(error));
  };
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    check(written >= 0);
    done += static_cast<std::size_t>(written);
  }
  // The new file reaches the disk before it takes the old one's place, so a power cut
  // leaves one of the two whole.
  check(::fsync(descriptor_) == 0);
  check(::close(std::exchange(descriptor_, -1)) == 0);
  check(::rename(temporary_.c_str(), target_.c_str()) == 0);
  pending_ = false;
  const int folder = ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace outputs
