#include "core/platform/atomic_file_writer.h"

#include "core/error.h"
#include "core/platform/fd_stream_buffer.h"
#include "core/platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <streambuf>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace marlo::platform {

namespace {

// Read once, before any thread runs: the umask can only be read by setting it.
const mode_t kProcessUmask = [] {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}();

} // namespace

// Writes to the temporary file. Big outputs are written by a second thread while the next
// buffer fills, so that copying into the file overlaps making the output. The first write
// error is kept for Commit to report.
class TAtomicFileWriter::TBuffer : public TFdStreamBuffer {
public:
  explicit TBuffer(int fd) : TFdStreamBuffer(fd, kSize), flight_(kSize) {}
  ~TBuffer() override {
    Join();
    if (fd_ >= 0) ::close(fd_);
  }

  // Writes what is buffered, syncs and closes; returns the first error or 0.
  int Close() {
    bool ok = Drain();
    Join();
    if (ok) WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    Restart();
    if (!error_ && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) error_ = errno;
    if (::close(fd_) != 0 && !error_) error_ = errno;
    fd_ = -1;
    return error_;
  }

protected:
  int sync() override { return 0; } // Close writes and syncs

  // Hands the full buffer to the writing thread and carries on in the other one. The
  // writing thread sets error_, which is read only after joining it.
  bool Drain() override {
    size_t size = static_cast<size_t>(pptr() - pbase());
    if (size == 0) return true;
    Join();
    if (error_) return false;
    buf_.swap(flight_);
    Restart();
    writer_ = std::thread([this, size] { WriteAll(flight_.data(), size); });
    return true;
  }

private:
  static constexpr size_t kSize = size_t(1) << 20;

  void Join() {
    if (writer_.joinable()) writer_.join();
  }

  std::vector<char> flight_; // being written by writer_
  std::thread writer_;
};

TAtomicFileWriter::TAtomicFileWriter(const std::string& path)
    : path_(path), target_(ResolveWriteTarget(path)) {
  struct stat st {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) RaiseFileError("Can't write file", path_, EISDIR);
  int fd = -1;
  if (exists && !S_ISREG(st.st_mode)) {
    // A device, a pipe or a socket: renaming over it would put a regular file in its place.
    inPlace_ = true;
    fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) RaiseFileError("Can't write file", path_, errno);
  } else {
    // A file its owner made read-only is not replaced behind its back: renaming over it
    // needs only the folder's permission.
    if (exists && ::access(target_.c_str(), W_OK) != 0)
      RaiseFileError("Can't write file", path_, errno);
    std::string pattern = target_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = ::mkstemp(name.data());
    if (fd < 0) RaiseFileError("Can't create temporary filename for", path_, errno);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    temp_ = name.data();
    // The new file keeps the old one's permissions; a new name gets what a plain create
    // would give it.
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~kProcessUmask);
    if (::fchmod(fd, mode) != 0) {
      int err = errno;
      ::close(fd);
      DeleteFile(temp_);
      RaiseFileError("Can't write file", path_, err);
    }
  }
  buffer_ = std::make_unique<TBuffer>(fd);
  stream_ = std::make_unique<std::ostream>(buffer_.get());
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (committed_) return;
  stream_.reset();
  buffer_.reset();
  if (!temp_.empty()) DeleteFile(temp_);
}

std::ostream& TAtomicFileWriter::Stream() {
  return *stream_;
}

void TAtomicFileWriter::MakeBackup() {
  if (backup_.empty() || backup_ == target_ || !FileExists(target_)) return;
  if (FileExists(backup_) && !DeleteFile(backup_))
    throw Error("Can't delete file " + backup_ + ": " + SystemReason(errno));
  // A hard link keeps the old file under its own name until the new one replaces it;
  // where links are not possible the old file is renamed.
  if (!LinkFile(target_, backup_) && !RenameFile(target_, backup_))
    throw Error("Can't rename file " + target_ + " to file " + backup_ + ": " +
                SystemReason(errno));
}

void TAtomicFileWriter::Commit() {
  stream_->flush();
  if (int err = buffer_->Close()) RaiseFileError("Can't write file", path_, err);
  if (inPlace_) {
    committed_ = true;
    return;
  }
  MakeBackup();
  if (!RenameFile(temp_, target_))
    throw Error("Can't rename file " + temp_ + " to file " + target_ + ": " + SystemReason(errno));
  committed_ = true;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  TAtomicFileWriter file(path);
  file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.Commit();
}

void IgnoreFileSizeSignal() {
  std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace marlo::platform
