#include "core/platform/fd_stream_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace marlo::platform {

TFdStreamBuffer::TFdStreamBuffer(int fd, size_t size) : fd_(fd), buf_(size) {
  Restart();
}

TFdStreamBuffer::int_type TFdStreamBuffer::overflow(int_type ch) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

std::streamsize TFdStreamBuffer::xsputn(const char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    if (pptr() == epptr() && !Drain()) return done;
    size_t room = static_cast<size_t>(epptr() - pptr());
    size_t take = std::min(room, static_cast<size_t>(n - done));
    std::memcpy(pptr(), s + done, take);
    pbump(static_cast<int>(take));
    done += static_cast<std::streamsize>(take);
  }
  return n;
}

bool TFdStreamBuffer::Drain() {
  WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
  Restart();
  return error_ == 0;
}

void TFdStreamBuffer::WriteAll(const char* p, size_t left) {
  while (left > 0 && !error_) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

} // namespace marlo::platform
