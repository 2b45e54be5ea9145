#pragma once
// File services the core needs: whole-file reads, temporary files in a folder, and the
// path helpers of the old platform's rules. Files are written by TAtomicFileWriter.
#include "core/platform/memory.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace marlo::platform {

// The system's text for an error number.
std::string SystemReason(int err);
// Raises Error with `what "path": reason`, the form of every file error.
[[noreturn]] void RaiseFileError(const char* what, const std::string& path, int err);

// A file's bytes, with one spare NUL byte after the end so scanners may stop on it.
struct TFileBuffer {
  ByteBlock data;
  size_t size = 0;
};

// Reads the whole file. Raises Error with the file name and the system's reason.
TFileBuffer ReadWholeFile(const std::string& path);

// A file open for reading by pieces.
class TReadableFile {
public:
  // Raises Error with the file name and the system's reason.
  explicit TReadableFile(const std::string& path);
  ~TReadableFile();
  TReadableFile(const TReadableFile&) = delete;
  TReadableFile& operator=(const TReadableFile&) = delete;

  bool IsRegular() const { return regular_; }
  size_t Size() const { return size_; }
  // Reads `count` bytes at `offset`; false when the file ends first. Raises on errors.
  bool ReadAt(char* into, size_t offset, size_t count) const;
  // Whether the file holds more than `size` bytes now.
  bool LongerThan(size_t size) const;

private:
  std::string path_;
  int fd_ = -1;
  bool regular_ = false;
  size_t size_ = 0;
};

bool FileExists(const std::string& path);
bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
// Gives the file `from` the second name `to` (a hard link).
bool LinkFile(const std::string& from, const std::string& to);

// The path a write to `path` must replace: symbolic links followed to their target.
std::string ResolveWriteTarget(const std::string& path);

// A new, empty, uniquely named file in `folder` whose name starts with `prefix`.
// Returns its name, or an empty string when none could be made.
std::string CreateTempFileName(const std::string& folder, const std::string& prefix);

// Path pieces: the folder keeps its trailing separator; an extension is the text from the
// last '.' after the last separator, dot included.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& ext);

} // namespace marlo::platform
