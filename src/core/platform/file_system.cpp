#include "core/platform/file_system.h"

#include "core/error.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace marlo::platform {

namespace {

class FileHandle {
public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

// Reads up to `count` bytes at `offset`; stops early only at the end of the file.
size_t ReadAt(int fd, char* into, size_t count, size_t offset, int& error) {
  size_t got = 0;
  while (got < count) {
    ssize_t n = ::pread(fd, into + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

} // namespace

std::string SystemReason(int err) {
  return std::strerror(err);
}

void RaiseFileError(const char* what, const std::string& path, int err) {
  throw Error(std::string(what) + " \"" + path + "\": " + SystemReason(err));
}

TReadableFile::TReadableFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) RaiseFileError("Can't open file", path, errno);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    int err = errno;
    ::close(fd_);
    RaiseFileError("Can't read file", path, err);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd_);
    RaiseFileError("Can't read file", path, EISDIR);
  }
  regular_ = S_ISREG(st.st_mode);
  size_ = regular_ ? static_cast<size_t>(st.st_size) : 0;
}

TReadableFile::~TReadableFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TReadableFile::ReadAt(char* into, size_t offset, size_t count) const {
  int error = 0;
  size_t got = ::marlo::platform::ReadAt(fd_, into, count, offset, error);
  if (error) RaiseFileError("Can't read file", path_, error);
  return got == count;
}

bool TReadableFile::LongerThan(size_t size) const {
  char probe;
  int error = 0;
  size_t got = ::marlo::platform::ReadAt(fd_, &probe, 1, size, error);
  if (error) RaiseFileError("Can't read file", path_, error);
  return got > 0;
}

TFileBuffer ReadWholeFile(const std::string& path) {
  FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) RaiseFileError("Can't open file", path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) RaiseFileError("Can't read file", path, errno);
  if (S_ISDIR(st.st_mode)) RaiseFileError("Can't read file", path, EISDIR);

  // Regular files are read in one go at their size; anything else (pipes, files that
  // grow while read) in growing steps.
  size_t capacity = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) + 1 : 65536;
  TFileBuffer buf;
  buf.data = AllocateBytes(capacity + 1);
  size_t size = 0;
  for (;;) {
    if (size == capacity) {
      size_t bigger = capacity + capacity / 2 + 65536;
      ByteBlock next = AllocateBytes(bigger + 1);
      std::memcpy(next.get(), buf.data.get(), size);
      buf.data = std::move(next);
      capacity = bigger;
    }
    ssize_t n = ::read(fd.get(), buf.data.get() + size, capacity - size);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseFileError("Can't read file", path, errno);
    }
    if (n == 0) break;
    size += static_cast<size_t>(n);
  }
  buf.data[size] = '\0';
  buf.size = size;
  return buf;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool DeleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool LinkFile(const std::string& from, const std::string& to) {
  return ::link(from.c_str(), to.c_str()) == 0;
}

std::string ResolveWriteTarget(const std::string& path) {
  // Follow the chain of links by hand: the final target may not exist yet.
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0) return current;
    std::string link(target.data(), static_cast<size_t>(n));
    current = (!link.empty() && link[0] == '/') ? link : ExtractFilePath(current) + link;
  }
  return current;
}

std::string CreateTempFileName(const std::string& folder, const std::string& prefix) {
  std::string pattern = folder + prefix + ".XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  int fd = ::mkstemp(buf.data());
  if (fd < 0) return std::string();
  ::close(fd);
  return std::string(buf.data());
}

std::string ExtractFilePath(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  std::string old = ExtractFileExt(path);
  return path.substr(0, path.size() - old.size()) + ext;
}

} // namespace marlo::platform
