#include "ui/recovery/journal_format.h"

#include "core/platform/file_identity.h"

#include <cstring>

namespace marlo::recovery::format {

std::string Header() {
  std::string out(kMagic, sizeof kMagic);
  PutU32(out, kVersion);
  PutU32(out, 0);
  return out;
}

void PutRecord(std::string& out, TRecordKind kind, std::string_view payload) {
  const size_t start = out.size();
  PutU32(out, static_cast<uint32_t>(payload.size()));
  PutU8(out, kind);
  out.append(payload);
  PutU64(out, platform::HashBytes(std::string_view(out).substr(start), kChecksumSeed));
}

std::string StatePayload(const TJournalState& state) {
  std::string out;
  PutBytes(out, state.Caption);
  PutU8(out, state.Untitled);
  PutU32(out, static_cast<uint32_t>(state.CharSet));
  PutU32(out, static_cast<uint32_t>(state.OutFormat));
  PutU8(out, state.ExcludeReadOnlyLines);
  PutU32(out, static_cast<uint32_t>(state.CaretLine));
  PutU32(out, static_cast<uint32_t>(state.CaretColumn));
  PutU32(out, static_cast<uint32_t>(state.Bookmarks.size()));
  for (const TBookmarkMark& b : state.Bookmarks) {
    PutU32(out, static_cast<uint32_t>(b.Index));
    PutU32(out, static_cast<uint32_t>(b.Line));
    PutU32(out, static_cast<uint32_t>(b.Column));
  }
  const platform::TFileIdentity& f = state.DiskFile;
  PutU8(out, f.Exists);
  PutU64(out, f.Device);
  PutU64(out, f.Inode);
  PutU64(out, static_cast<uint64_t>(f.Size));
  PutU64(out, static_cast<uint64_t>(f.ModifiedNs));
  PutU64(out, f.Hash);
  return out;
}

void PutSnapshot(std::string& out, std::string_view lines, uint64_t count) {
  std::string number;
  PutU64(number, count);
  PutRecord(out, rkSnapshotBegin, number);
  // Chunks end after a whole line, once they hold kChunkBytes.
  size_t from = 0, at = 0;
  while (at < lines.size()) {
    uint32_t length;
    std::memcpy(&length, lines.data() + at, 4);
    at += 4 + length;
    if (at - from >= kChunkBytes || at >= lines.size()) {
      PutRecord(out, rkSnapshotLines, lines.substr(from, at - from));
      from = at;
    }
  }
  PutRecord(out, rkSnapshotEnd, number);
}

} // namespace marlo::recovery::format
