#include "core/platform/file_identity.h"

#include "core/error.h"
#include "core/platform/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace marlo::platform {

namespace {

constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t h, uint64_t word) {
  h ^= word * kMul;
  h = (h << 31) | (h >> 33);
  return h * 0xC2B2AE3D27D4EB4Full;
}

TFileIdentity FromStat(const struct stat& st) {
  TFileIdentity id;
  id.Exists = true;
  id.Device = static_cast<uint64_t>(st.st_dev);
  id.Inode = static_cast<uint64_t>(st.st_ino);
  id.Size = static_cast<int64_t>(st.st_size);
  id.ModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

} // namespace

uint64_t HashBytes(std::string_view bytes, uint64_t seed) {
  // Four lanes of eight bytes each, so that the multiplications overlap.
  uint64_t lane[4] = {seed ^ 0x243F6A8885A308D3ull, seed ^ 0x13198A2E03707344ull,
                      seed ^ 0xA4093822299F31D0ull, seed ^ 0x082EFA98EC4E6C89ull};
  const char* p = bytes.data();
  size_t n = bytes.size();
  while (n >= 32) {
    for (int k = 0; k < 4; ++k) {
      uint64_t w;
      std::memcpy(&w, p + 8 * k, 8);
      lane[k] = Mix(lane[k], w);
    }
    p += 32;
    n -= 32;
  }
  uint64_t h = lane[0] ^ Mix(lane[1], 1) ^ Mix(lane[2], 2) ^ Mix(lane[3], 3);
  while (n >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    h = Mix(h, w);
    p += 8;
    n -= 8;
  }
  uint64_t tail = 0;
  if (n) std::memcpy(&tail, p, n);
  h = Mix(h, tail ^ (static_cast<uint64_t>(bytes.size()) << 3));
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 32);
}

TFileIdentity StatFileIdentity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    RaiseFileError("Can't read file", path, errno);
  }
  return FromStat(st);
}

TFileIdentity ReadFileIdentity(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    RaiseFileError("Can't read file", path, errno);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    RaiseFileError("Can't read file", path, err);
  }
  TFileIdentity id = FromStat(st);
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return id;
  }
  // Hashed in pieces of a whole number of 32-byte blocks, carried from piece to piece.
  std::vector<char> buffer(size_t(1) << 20);
  uint64_t h = 0;
  int64_t total = 0;
  for (bool end = false; !end;) {
    // Each piece is filled whole, so that the hash does not depend on how reads split.
    size_t filled = 0;
    while (filled < buffer.size()) {
      ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
      if (got < 0) {
        if (errno == EINTR) continue;
        int err = errno;
        ::close(fd);
        RaiseFileError("Can't read file", path, err);
      }
      if (got == 0) {
        end = true;
        break;
      }
      filled += static_cast<size_t>(got);
    }
    if (filled) h = HashBytes(std::string_view(buffer.data(), filled), h);
    total += static_cast<int64_t>(filled);
  }
  ::close(fd);
  id.Size = total;
  id.Hash = h;
  return id;
}

bool FileChangedSince(const std::string& path, const TFileIdentity& known, TFileIdentity* now) {
  TFileIdentity stat = StatFileIdentity(path);
  if (!stat.Exists || !known.Exists) {
    if (now) *now = stat;
    return stat.Exists != known.Exists;
  }
  if (stat.SameStat(known)) {
    if (now) *now = known;
    return false;
  }
  TFileIdentity read = ReadFileIdentity(path);
  if (now) *now = read;
  return !read.Exists || read.Size != known.Size || read.Hash != known.Hash;
}

} // namespace marlo::platform
