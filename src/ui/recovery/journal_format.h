#pragma once
// The bytes of a journal. A header of 16 bytes (the magic, the format version, 0), then
// records: a 32-bit payload size, a kind byte, the payload, and a 64-bit checksum of size,
// kind and payload. Numbers are little-endian.
//
// A snapshot is SnapshotBegin (line count), SnapshotLines chunks (length and bytes of each
// line) and SnapshotEnd (line count). A Frame holds the store's edits of one change as
// operations: a kind byte and its fields.
#include "ui/recovery/journal.h"

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlo::recovery::format {

// Snapshot lengths are read back with memcpy.
static_assert(std::endian::native == std::endian::little);

inline constexpr char kMagic[8] = {'M', 'A', 'R', 'L', 'O', 'J', 'N', 'L'};
inline constexpr uint32_t kVersion = 1;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kRecordOverhead = 4 + 1 + 8;
inline constexpr uint64_t kChecksumSeed = 0x4A6F75726E616C31ull;
// Snapshot chunks are cut after this many bytes.
inline constexpr size_t kChunkBytes = size_t(1) << 20;

enum TRecordKind : uint8_t {
  rkState = 1,
  rkTime = 2,
  rkSnapshotBegin = 3,
  rkSnapshotLines = 4,
  rkSnapshotEnd = 5,
  rkFrame = 6,
};

enum TOperation : uint8_t {
  opInsert = 1,      // line, text
  opDelete = 2,      // line
  opSet = 3,         // line, text
  opCharsInsert = 4, // line, pos, chars
  opCharsErase = 5,  // line, pos, count
  opAppend = 6,      // line, chars
};

inline void PutU8(std::string& out, uint8_t v) {
  out.push_back(static_cast<char>(v));
}
inline void PutU32(std::string& out, uint32_t v) {
  char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
               static_cast<char>(v >> 24)};
  out.append(b, 4);
}
inline void PutU64(std::string& out, uint64_t v) {
  PutU32(out, static_cast<uint32_t>(v));
  PutU32(out, static_cast<uint32_t>(v >> 32));
}
inline void PutBytes(std::string& out, std::string_view bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.append(bytes);
}

std::string Header();
// A record written in place: its size and kind, then the payload appended by the caller,
// then EndRecord, which fills in the size and appends the checksum.
size_t BeginRecord(std::string& out, TRecordKind kind);
void EndRecord(std::string& out, size_t start);
// Appends a whole record with its checksum.
void PutRecord(std::string& out, TRecordKind kind, std::string_view payload);
std::string StatePayload(const TJournalState& state);
// Appends a snapshot of `count` lines, line i being lineAt(i) (a std::string_view), asked
// for in order from the first.
template <class LineAt> void PutSnapshot(std::string& out, uint64_t count, const LineAt& lineAt) {
  std::string number;
  PutU64(number, count);
  PutRecord(out, rkSnapshotBegin, number);
  // Chunks end after a whole line, once they hold kChunkBytes.
  for (uint64_t i = 0; i < count;) {
    const size_t start = BeginRecord(out, rkSnapshotLines);
    const size_t payload = out.size();
    do {
      PutBytes(out, lineAt(i++));
    } while (i < count && out.size() - payload < kChunkBytes);
    EndRecord(out, start);
  }
  PutRecord(out, rkSnapshotEnd, number);
}
// About the bytes of a snapshot of `count` lines of `textBytes` bytes together.
inline size_t SnapshotBytes(uint64_t count, size_t textBytes) {
  const size_t lines = 4 * count + textBytes;
  return 2 * (kRecordOverhead + 8) + (lines / kChunkBytes + 2) * kRecordOverhead + lines;
}

} // namespace marlo::recovery::format
