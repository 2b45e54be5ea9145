#pragma once
// What a file was when the editor last read or wrote it: which file (device and inode),
// how long, when it was last written, and a hash of its bytes. Two identities of the same
// path tell whether someone else changed the file in between: a touch that leaves the
// bytes equal is no change, an atomic replace by another program is one.
#include <cstdint>
#include <string>
#include <string_view>

namespace marlo::platform {

struct TFileIdentity {
  bool Exists = false;
  uint64_t Device = 0;
  uint64_t Inode = 0;
  int64_t Size = 0;
  int64_t ModifiedNs = 0; // the last write, in nanoseconds since the epoch
  uint64_t Hash = 0;      // of the bytes; 0 when not read

  // Same device, inode, size and time of the last write: the bytes need not be read again.
  bool SameStat(const TFileIdentity& other) const {
    return Exists == other.Exists && Device == other.Device && Inode == other.Inode &&
           Size == other.Size && ModifiedNs == other.ModifiedNs;
  }
};

// A 64-bit hash of bytes, the same on every machine; not for security.
uint64_t HashBytes(std::string_view bytes, uint64_t seed = 0);

// The file's identity with the hash of its bytes. A missing file gives Exists false; a
// file that cannot be read raises Error with the path and the system's reason.
TFileIdentity ReadFileIdentity(const std::string& path);
// The same without reading the bytes (Hash 0).
TFileIdentity StatFileIdentity(const std::string& path);

// Whether the file at `path` holds other bytes than the ones `known` describes, or is gone:
// a stat first, and the bytes hashed only when the stat differs. `now`, when given, gets
// the identity read, so that a touch need not be hashed again.
bool FileChangedSince(const std::string& path, const TFileIdentity& known,
                      TFileIdentity* now = nullptr);

} // namespace marlo::platform
