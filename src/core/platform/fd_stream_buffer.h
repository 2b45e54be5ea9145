#pragma once
// A stream buffer over a file descriptor that it does not own. What is written is collected
// and handed to the system in big pieces; the first failed write is kept with the system's
// error number, and what comes after it is dropped, so that a full disk or a closed pipe
// is told once, with its reason, instead of vanishing.
#include <cstddef>
#include <streambuf>
#include <vector>

namespace marlo::platform {

class TFdStreamBuffer : public std::streambuf {
public:
  explicit TFdStreamBuffer(int fd, size_t size = size_t(1) << 16);

  // The error number of the first failed write, or 0.
  int Error() const { return error_; }

protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override { return Drain() ? 0 : -1; }

  // Hands what is collected to the system; false once a write has failed.
  virtual bool Drain();
  // Writes `size` bytes from `p`, keeping the first error.
  void WriteAll(const char* p, size_t size);
  void Restart() { setp(buf_.data(), buf_.data() + buf_.size()); }

  int fd_;
  std::vector<char> buf_;
  int error_ = 0;
};

} // namespace marlo::platform
