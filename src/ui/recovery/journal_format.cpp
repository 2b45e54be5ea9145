#include "ui/recovery/journal_format.h"

#include "core/platform/file_identity.h"

namespace marlo::recovery::format {

std::string Header() {
  std::string out(kMagic, sizeof kMagic);
  PutU32(out, kVersion);
  PutU32(out, 0);
  return out;
}

size_t BeginRecord(std::string& out, TRecordKind kind) {
  const size_t start = out.size();
  PutU32(out, 0);
  PutU8(out, kind);
  return start;
}

void EndRecord(std::string& out, size_t start) {
  const auto size = static_cast<uint32_t>(out.size() - start - 5);
  for (int b = 0; b < 4; ++b) out[start + b] = static_cast<char>(size >> (8 * b));
  PutU64(out, platform::HashBytes(std::string_view(out).substr(start), kChecksumSeed));
}

void PutRecord(std::string& out, TRecordKind kind, std::string_view payload) {
  const size_t start = BeginRecord(out, kind);
  out.append(payload);
  EndRecord(out, start);
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

} // namespace marlo::recovery::format
