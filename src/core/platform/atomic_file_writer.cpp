#include "core/platform/atomic_file_writer.h"

#include "core/platform/error.h"
#include "core/platform/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <streambuf>
#include <unistd.h>
#include <vector>

namespace marlo::platform {

namespace {

[[noreturn]] void RaiseFileError(const char* what, const std::string& path, int err) {
  throw Error(std::string(what) + " \"" + path + "\": " + std::strerror(err));
}

} // namespace

// Collects output in a large buffer and writes it to the file descriptor; the first write
// error is kept for Commit to report.
class AtomicFileWriter::TBuffer : public std::streambuf {
public:
  explicit TBuffer(int fd) : fd_(fd), buf_(kSize) { setp(buf_.data(), buf_.data() + buf_.size()); }
  ~TBuffer() override {
    if (fd_ >= 0) ::close(fd_);
  }

  int Error() const { return error_; }

  // Writes what is buffered, syncs and closes; returns the first error or 0.
  int Close() {
    Drain();
    if (!error_ && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) error_ = errno;
    if (::close(fd_) != 0 && !error_) error_ = errno;
    fd_ = -1;
    return error_;
  }

protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n < epptr() - pptr()) {
      std::memcpy(pptr(), s, static_cast<size_t>(n));
      pbump(static_cast<int>(n));
      return n;
    }
    if (!Drain() || !WriteAll(s, static_cast<size_t>(n))) return 0;
    return n;
  }

  int sync() override { return Drain() ? 0 : -1; }

private:
  static constexpr size_t kSize = 1 << 16;

  bool Drain() {
    bool ok = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(buf_.data(), buf_.data() + buf_.size());
    return ok;
  }

  bool WriteAll(const char* p, size_t left) {
    if (error_) return false;
    while (left > 0) {
      ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    return true;
  }

  int fd_;
  std::vector<char> buf_;
  int error_ = 0;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : path_(path), target_(ResolveWriteTarget(path)) {
  std::string pattern = target_ + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) RaiseFileError("Can't create file", path_, errno);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  temp_ = name.data();
  buffer_ = std::make_unique<TBuffer>(fd);
  stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFileWriter::~AtomicFileWriter() {
  if (committed_) return;
  stream_.reset();
  buffer_.reset();
  DeleteFile(temp_);
}

std::ostream& AtomicFileWriter::Stream() {
  return *stream_;
}

void AtomicFileWriter::Commit() {
  stream_->flush();
  if (int err = buffer_->Close()) RaiseFileError("Can't write file", path_, err);
  CopyPermissions(target_, temp_);
  if (!RenameFile(temp_, target_)) RaiseFileError("Can't write file", path_, errno);
  committed_ = true;
}

} // namespace marlo::platform
