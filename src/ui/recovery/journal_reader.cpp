// Reading a journal back: the snapshot, then every whole frame of edits, stopping at the
// first record that is cut short, fails its checksum or does not fit the text.
#include "core/error.h"
#include "core/platform/file_system.h"
#include "core/text/text_types.h"
#include "ui/recovery/journal.h"
#include "ui/recovery/journal_format.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace marlo::recovery {

using namespace format;

namespace {

// Bytes read front to back; reading past the end is a damaged record.
class TByteReader {
public:
  struct TOverrun {};
  explicit TByteReader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return at_ == bytes_.size(); }
  uint8_t U8() { return static_cast<uint8_t>(Take(1)[0]); }
  uint32_t U32() {
    const auto* p = reinterpret_cast<const unsigned char*>(Take(4).data());
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64() {
    uint64_t low = U32();
    return low | uint64_t(U32()) << 32;
  }
  std::string_view Bytes() { return Take(U32()); }
  std::string_view Take(size_t n) {
    if (n > bytes_.size() - at_) throw TOverrun{};
    std::string_view v = bytes_.substr(at_, n);
    at_ += n;
    return v;
  }

private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// Lines with a gap where the last edit was, so that edits in one place of a long text
// do not move every line after them.
class TLineGap {
public:
  explicit TLineGap(std::vector<std::string> lines) : items_(std::move(lines)) {
    gapStart_ = gapEnd_ = items_.size();
  }
  size_t Size() const { return items_.size() - (gapEnd_ - gapStart_); }
  std::string& At(size_t i) { return items_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)]; }
  void Insert(size_t i, std::string text) {
    if (gapStart_ == gapEnd_) Grow();
    MoveGap(i);
    items_[gapStart_++] = std::move(text);
  }
  void Erase(size_t i) {
    MoveGap(i + 1);
    items_[--gapStart_].clear();
  }
  std::vector<std::string> Take() {
    MoveGap(Size());
    items_.resize(gapStart_);
    gapEnd_ = gapStart_;
    return std::move(items_);
  }

private:
  void MoveGap(size_t i) {
    if (gapStart_ == gapEnd_) {
      gapStart_ = gapEnd_ = i; // nothing to move (and a line moved onto itself would be lost)
      return;
    }
    if (i < gapStart_) {
      std::move_backward(items_.begin() + static_cast<ptrdiff_t>(i),
                         items_.begin() + static_cast<ptrdiff_t>(gapStart_),
                         items_.begin() + static_cast<ptrdiff_t>(gapEnd_));
      gapEnd_ -= gapStart_ - i;
    } else if (i > gapStart_) {
      size_t n = i - gapStart_;
      std::move(items_.begin() + static_cast<ptrdiff_t>(gapEnd_),
                items_.begin() + static_cast<ptrdiff_t>(gapEnd_ + n),
                items_.begin() + static_cast<ptrdiff_t>(gapStart_));
      gapEnd_ += n;
    }
    gapStart_ = i;
  }
  void Grow() {
    size_t tail = items_.size() - gapEnd_;
    size_t room = std::max<size_t>(64, items_.size() / 2);
    items_.resize(items_.size() + room);
    std::move_backward(items_.begin() + static_cast<ptrdiff_t>(gapEnd_),
                       items_.begin() + static_cast<ptrdiff_t>(gapEnd_ + tail), items_.end());
    gapEnd_ += room;
  }

  std::vector<std::string> items_;
  size_t gapStart_ = 0, gapEnd_ = 0;
};

struct TBadContent {
  const char* What;
};

TJournalState DecodeState(std::string_view payload) {
  TByteReader r(payload);
  TJournalState s;
  s.Caption = std::string(r.Bytes());
  s.Untitled = r.U8() != 0;
  s.CharSet = r.I32();
  s.OutFormat = r.I32();
  s.ExcludeReadOnlyLines = r.U8() != 0;
  s.CaretLine = r.I32();
  s.CaretColumn = r.I32();
  uint32_t marks = r.U32();
  if (marks > payload.size() / 12) throw TByteReader::TOverrun{};
  for (uint32_t i = 0; i < marks; ++i) {
    TBookmarkMark b;
    b.Index = r.I32();
    b.Line = r.I32();
    b.Column = r.I32();
    s.Bookmarks.push_back(b);
  }
  platform::TFileIdentity& f = s.DiskFile;
  f.Exists = r.U8() != 0;
  f.Device = r.U64();
  f.Inode = r.U64();
  f.Size = static_cast<int64_t>(r.U64());
  f.ModifiedNs = static_cast<int64_t>(r.U64());
  f.Hash = r.U64();
  return s;
}

void ApplyFrame(std::string_view payload, TLineGap& text) {
  TByteReader r(payload);
  while (!r.AtEnd()) {
    const uint8_t op = r.U8();
    const size_t line = r.U32();
    const size_t count = text.Size();
    if (op == opInsert) {
      if (line > count) throw TBadContent{"a line inserted beyond the text"};
      text.Insert(line, std::string(r.Bytes()));
      continue;
    }
    if (line >= count) throw TBadContent{"an edit beyond the text"};
    std::string& s = text.At(line);
    switch (op) {
    case opDelete:
      text.Erase(line);
      break;
    case opSet:
      s = r.Bytes();
      break;
    case opCharsInsert: {
      size_t pos = r.U32();
      std::string_view chars = r.Bytes();
      if (pos > s.size()) throw TBadContent{"characters inserted beyond a line"};
      s.insert(pos, chars);
      break;
    }
    case opCharsErase: {
      size_t pos = r.U32(), n = r.U32();
      if (pos > s.size() || n > s.size() - pos)
        throw TBadContent{"characters erased beyond a line"};
      s.erase(pos, n);
      break;
    }
    case opAppend:
      s.append(r.Bytes());
      break;
    default:
      throw TBadContent{"an unknown edit"};
    }
  }
}

// The lines of a SnapshotLines payload, appended to `lines`.
void TakeSnapshotLines(std::string_view payload, std::vector<std::string>& lines) {
  TByteReader r(payload);
  while (!r.AtEnd()) lines.emplace_back(r.Bytes());
}

} // namespace

TRecoveredText ParseJournal(std::string_view bytes) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    throw Error("not a recovery journal");
  TByteReader header(bytes.substr(sizeof kMagic, 8));
  const uint32_t version = header.U32();
  if (version == 0) throw Error("not a recovery journal");
  if (version > kVersion)
    throw Error("written by a newer version of Marlo (format " + std::to_string(version) + ")");

  TRecoveredText result;
  TLineGap text({});
  bool haveText = false;
  std::vector<std::string> building; // a snapshot not ended yet
  bool inSnapshot = false;
  std::string reason;
  size_t at = kHeaderSize;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    if (left < kRecordOverhead) break;
    uint32_t size;
    std::memcpy(&size, bytes.data() + at, 4);
    if (size > left - kRecordOverhead) break;
    const std::string_view body = bytes.substr(at, 5 + size);
    uint64_t sum;
    std::memcpy(&sum, bytes.data() + at + 5 + size, 8);
    if (platform::HashBytes(body, kChecksumSeed) != sum) break;
    const auto kind = static_cast<uint8_t>(body[4]);
    const std::string_view payload = body.substr(5);
    try {
      switch (kind) {
      case rkState:
        result.State = DecodeState(payload);
        break;
      case rkTime:
        result.LastChangeMs = static_cast<int64_t>(TByteReader(payload).U64());
        break;
      case rkSnapshotBegin:
        building.clear();
        building.reserve(std::min<uint64_t>(TByteReader(payload).U64(), bytes.size() / 4));
        inSnapshot = true;
        break;
      case rkSnapshotLines:
        if (!inSnapshot) throw TBadContent{"lines outside a snapshot"};
        TakeSnapshotLines(payload, building);
        break;
      case rkSnapshotEnd:
        if (!inSnapshot || TByteReader(payload).U64() != building.size())
          throw TBadContent{"a snapshot that does not add up"};
        text = TLineGap(std::move(building));
        building = {};
        inSnapshot = false;
        haveText = true;
        break;
      case rkFrame:
        if (!haveText) throw TBadContent{"edits before the text"};
        ApplyFrame(payload, text);
        break;
      default:
        throw TBadContent{"an unknown record"};
      }
    } catch (const TByteReader::TOverrun&) {
      reason = "a record cut short";
      break;
    } catch (const TBadContent& bad) {
      reason = bad.What;
      break;
    }
    at += kRecordOverhead + size;
  }
  if (!haveText)
    throw Error(reason.empty() ? "the snapshot of the text is incomplete"
                               : "the snapshot of the text is damaged: " + reason);
  result.TornTail = at < bytes.size();
  result.Lines = text.Take();
  return result;
}

TRecoveredText ReadJournal(const std::string& path) {
  platform::TFileBuffer file = platform::ReadWholeFile(path);
  try {
    return ParseJournal(std::string_view(file.data.get(), file.size));
  } catch (const Error& e) {
    throw Error("Can't read the recovery journal " + path + ": " + e.what());
  }
}

std::string SavedBytes(const TRecoveredText& text) {
  const auto format = static_cast<TOutFormatType>(text.State.OutFormat);
  const std::string_view separator = format == ofMac ? "\r" : format == ofUnix ? "\n" : "\r\n";
  const bool joinOnly = format != ofMac && format != ofUnix && !text.State.ExcludeReadOnlyLines;
  size_t total = 0;
  for (const std::string& line : text.Lines) total += line.size() + separator.size();
  std::string out;
  out.reserve(total);
  for (size_t i = 0; i < text.Lines.size(); ++i) {
    if (joinOnly && i > 0) out.append(separator);
    out.append(text.Lines[i]);
    if (!joinOnly) out.append(separator);
  }
  return out;
}

bool TJournalState::operator==(const TJournalState& o) const {
  return Caption == o.Caption && Untitled == o.Untitled && CharSet == o.CharSet &&
         OutFormat == o.OutFormat && ExcludeReadOnlyLines == o.ExcludeReadOnlyLines &&
         CaretLine == o.CaretLine && CaretColumn == o.CaretColumn && Bookmarks == o.Bookmarks &&
         DiskFile.SameStat(o.DiskFile) && DiskFile.Hash == o.DiskFile.Hash;
}

} // namespace marlo::recovery
