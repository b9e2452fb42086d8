#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace outputs {

// A file the outputs could not write, with its path and the reason in plain Spanish.
class FileError : public std::runtime_error {
 public:
  FileError(const std::filesystem::path& file, const std::string& cause);
  const std::string& cause() const { return cause_; }

 private:
  std::string cause_;
};

// A text file for the office's programs: Windows-1252 (a character that code page lacks is
// written as "?"), every line ended by CR LF, written whole or not at all. The lines go to
// a temporary file beside the target, which replaces the target only on commit; a file never
// committed is removed, and the target keeps what it held.
class OutputFile {
 public:
  // Creates the temporary file; throws FileError when the folder does not take it.
  explicit OutputFile(std::filesystem::path target);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void writeLine(std::string_view utf8);
  // Writes the lines, makes them durable and puts the file in the target's place; throws
  // FileError (the target untouched) when any of that fails.
  void commit();

 private:
  void discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
  bool pending_ = false;  // the temporary file exists and is not yet in place
  std::string lines_;
};

}  // namespace outputs
