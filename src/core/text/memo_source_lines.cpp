// Loading, saving, and the writes that come through the public line list.
#include "core/text/memo_source.h"

#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

namespace marlo {

namespace {

// Moves every tracked position for a line inserted before `line` (delta 1) or for the
// removal of `line` (delta -1).
void ShiftPositions(std::vector<TPosition*>& positions, int line, int delta) {
  for (TPosition* p : positions) {
    if (!p->OnChange || !(p->OnChange(*p) & mpLine)) continue;
    if (delta > 0 ? p->Y >= line : p->Y > line) p->Y += delta;
  }
}

} // namespace

void TCustomMemoSource::BeginLinesWrite() {
  if (linesWrite_) return;
  linesWrite_ = true;
  if (changeDepth_ != 1) return;
  trackCaret_ = std::make_unique<TempPosition>(*this, Caret());
  trackBegin_ = std::make_unique<TempPosition>(*this, BlockBegin());
  trackEnd_ = std::make_unique<TempPosition>(*this, BlockEnd());
  trackKind_ = selKind_;
}

void TCustomMemoSource::EndLinesWrite() {
  if (caretToOrigin_) {
    caret_.X = caret_.Y = 0;
  } else if (trackCaret_) {
    caret_.X = trackCaret_->X;
    caret_.Y = trackCaret_->Y;
    blockBegin_.X = trackBegin_->X;
    blockBegin_.Y = trackBegin_->Y;
    blockEnd_.X = trackEnd_->X;
    blockEnd_.Y = trackEnd_->Y;
    selKind_ = trackKind_;
    // Lines removed under the caret must not leave it beyond the text.
    int x = caret_.X, y = caret_.Y;
    ClampCaret(x, y);
    caret_.X = x;
    caret_.Y = y;
  }
  trackCaret_.reset();
  trackBegin_.reset();
  trackEnd_.reset();
  caretToOrigin_ = false;
}

void TCustomMemoSource::LinesPut(int i, std::string_view s) {
  if (i < 0 || i >= LineCount()) return;
  ChangeScope scope(*this, TChangeKind::LinesWrite);
  BeginLinesWrite();
  store_.SetText(i, ConvertTabs(s));
  MarkLinesChanged(i, i);
}

void TCustomMemoSource::LinesInsert(int i, std::string_view s) {
  if (i < 0 || i > LineCount()) return;
  ChangeScope scope(*this, TChangeKind::LinesWrite);
  BeginLinesWrite();
  store_.Insert(i, ConvertTabs(s));
  ShiftPositions(positions_, i, 1);
  MarkLinesChanged(i, LineCount() - 1);
}

void TCustomMemoSource::LinesDelete(int i) {
  if (i < 0 || i >= LineCount()) return;
  ChangeScope scope(*this, TChangeKind::LinesWrite);
  BeginLinesWrite();
  store_.Delete(i);
  ShiftPositions(positions_, i, -1);
  MarkLinesChanged(i, std::max(i, LineCount())); // every line below moved up
}

void TCustomMemoSource::LinesClear() {
  ChangeScope scope(*this, TChangeKind::LinesWrite);
  BeginLinesWrite();
  MarkLinesChanged(0, std::max(0, LineCount() - 1));
  store_.Clear();
  bookmarks_.Clear();
  for (TPosition* p : positions_) p->X = p->Y = 0;
  selKind_ = TSelectionType::None;
  trackKind_ = TSelectionType::None;
  caretToOrigin_ = true;
}

void TCustomMemoSource::LinesAssign(const std::vector<std::string>& list) {
  ChangeScope scope(*this, TChangeKind::LinesWrite);
  LinesClear();
  for (const std::string& s : list) store_.Insert(LineCount(), ConvertTabs(s));
  MarkLinesChanged(0, std::max(0, LineCount() - 1));
  caretToOrigin_ = true;
}

void TCustomMemoSource::BulkLoad(platform::ByteBlock bytes, size_t size, bool load,
                                 const TInternalStrings::THalfReader& read) {
  ChangeScope scope(*this, TChangeKind::Load);
  // The lines are replaced first: if that fails, nothing else has changed.
  store_.LoadBulk(std::move(bytes), size, spacesInTab_, Has(soUseTabCharacter), read);
  BeginLinesWrite();
  bookmarks_.Clear();
  for (TPosition* p : positions_) p->X = p->Y = 0;
  selKind_ = TSelectionType::None;
  trackKind_ = TSelectionType::None;
  caretToOrigin_ = true;
  MarkLinesChanged(0, std::max(0, LineCount() - 1));
  changeFlags_ |= TChangeFlags{chText,     chUndo,     chLineState, chOverwrite, chLineCount,
                               chModified, chFileName, chParser,    chCaret};
  loaded_ = load;
}

namespace {

// The bytes in a block of their own with a NUL after them, as a bulk load takes them.
platform::ByteBlock LoadableCopy(std::string_view bytes) {
  platform::ByteBlock copy = platform::AllocateBytes(bytes.size() + 1);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  copy[bytes.size()] = '\0';
  return copy;
}

} // namespace

void TCustomMemoSource::LoadFromBytes(std::string_view bytes) {
  BulkLoad(LoadableCopy(bytes), bytes.size(), true);
}

void TCustomMemoSource::SetTextBulk(std::string_view bytes) {
  BulkLoad(LoadableCopy(bytes), bytes.size(), false);
}

void TCustomMemoSource::ReplaceAllText(std::string_view bytes) {
  ReplaceLines(LoadableCopy(bytes), bytes.size());
}

void TCustomMemoSource::ReloadFromFile(const std::string& fileName) {
  platform::TFileBuffer buf = platform::ReadWholeFile(fileName);
  ReplaceLines(std::move(buf.data), buf.size);
}

void TCustomMemoSource::ReplaceLines(platform::ByteBlock bytes, size_t size) {
  ChangeScope scope(*this, TChangeKind::Reload);
  // One record holds the old lines whole: undo puts them back in one pass, however many
  // there are, where records per line would cost a step and a block for each.
  TUndoRecord old;
  if (allowUndo_) TakeLinesInto(old);
  const int oldCount = LineCount();
  // The lines are replaced first: if that fails, nothing else has changed.
  store_.LoadBulk(std::move(bytes), size, spacesInTab_, Has(soUseTabCharacter));
  if (TUndoRecord* r = AddUndo(uaText)) {
    r->Text = std::move(old.Text);
    r->Styles = std::move(old.Styles);
  }
  ClampToReplacedLines(oldCount);
}

void TCustomMemoSource::TakeLinesInto(TUndoRecord& r) const {
  size_t total = 0;
  for (int i = 0; i < LineCount(); ++i) total += store_.Item(i).Length;
  r.Text.clear();
  r.Text.reserve(total);
  r.Styles.assign(sizeof(uint32_t) * static_cast<size_t>(LineCount()), '\0');
  for (int i = 0; i < LineCount(); ++i) {
    std::string_view line = store_.Text(i);
    r.Text.append(line);
    const auto length = static_cast<uint32_t>(line.size());
    std::memcpy(r.Styles.data() + sizeof(uint32_t) * static_cast<size_t>(i), &length,
                sizeof length);
  }
}

void TCustomMemoSource::PutLinesBack(const TUndoRecord& r) {
  // The lines come back exactly as they were, without the cutting and trimming of a load.
  store_.Clear();
  std::string_view text = r.Text;
  size_t at = 0;
  for (size_t i = 0; i + sizeof(uint32_t) <= r.Styles.size(); i += sizeof(uint32_t)) {
    uint32_t length;
    std::memcpy(&length, r.Styles.data() + i, sizeof length);
    store_.Insert(store_.Count(), text.substr(std::min(at, text.size()), length));
    at += length;
  }
}

void TCustomMemoSource::ClampToReplacedLines(int oldCount) {
  MarkLinesChanged(0, std::max(0, std::max(oldCount, LineCount()) - 1));
  changeFlags_.Include(chLineState);
  ClearFoundText();
  const int last = std::max(0, LineCount() - 1);
  for (TPosition* p : positions_) {
    p->Y = std::min(p->Y, last);
    p->X = std::min(p->X, LineLength(p->Y));
  }
  selKind_ = TSelectionType::None;
  bookmarks_.Adjust(0, [&](TBookmark& b) {
    const int y = std::min(b.Y, last), x = std::min(b.X, LineLength(y));
    if (x == b.X && y == b.Y) return false;
    b.X = x;
    b.Y = y;
    return true;
  });
  // A replay moves the caret back by its own records and clamps it once at its end.
  if (replaying_) return;
  int x = caret_.X, y = std::min(caret_.Y, last);
  ClampCaret(x, y);
  SetCaretExact(x, y);
}

void TCustomMemoSource::LoadFromStream(std::istream& stream) {
  std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) throw Error("Can't read stream");
  LoadFromBytes(bytes);
}

namespace {

// A file that changed size while it was read in halves; it is read again as a whole.
class EFileChanged : public Error {
public:
  EFileChanged() : Error("The file changed while it was read") {}
};

} // namespace

void TCustomMemoSource::LoadFromFile(const std::string& fileName) {
  // Nothing changes until the whole file is read: a file that cannot be read leaves the
  // text as it was.
  {
    platform::TReadableFile file(fileName);
    size_t size = file.Size();
    if (file.IsRegular() && size >= TInternalStrings::ParallelLoadThreshold) {
      platform::ByteBlock bytes = platform::AllocateBytes(size + 1);
      bytes[size] = '\0';
      auto read = [&](char* into, size_t offset, size_t count) {
        if (!file.ReadAt(into, offset, count)) throw EFileChanged();
        if (offset + count == size && file.LongerThan(size)) throw EFileChanged();
        return true;
      };
      try {
        BulkLoad(std::move(bytes), size, true, read);
        return;
      } catch (const EFileChanged&) {
        // fall through to a plain read of whatever the file holds now
      }
    }
  }
  platform::TFileBuffer buf = platform::ReadWholeFile(fileName);
  BulkLoad(std::move(buf.data), buf.size, true);
}

template <class TSink> void TCustomMemoSource::WriteLines(TSink&& put) const {
  const char* sep = outFormat_ == ofMac ? "\r" : outFormat_ == ofUnix ? "\n" : "\r\n";
  const std::string_view separator(sep);
  bool joinOnly = outFormat_ == ofWindows && !Has(soExcludeReadOnlyLines);
  for (int i = 0; i < LineCount(); ++i) {
    const TStringItem& item = store_.Item(i);
    if (Has(soExcludeReadOnlyLines) && item.IsReadOnly()) continue;
    if (joinOnly && i > 0) put(separator);
    put(item.Text());
    if (!joinOnly) put(separator);
  }
}

std::string TCustomMemoSource::SaveToBytes() const {
  size_t total = 0;
  for (int i = 0; i < LineCount(); ++i) total += store_.Item(i).Length + 2;
  std::string out;
  out.reserve(total);
  WriteLines([&](std::string_view piece) { out.append(piece); });
  return out;
}

void TCustomMemoSource::WriteLinesTo(std::ostream& stream) const {
  WriteLines([&](std::string_view piece) {
    stream.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  });
}

void TCustomMemoSource::SaveToStream(std::ostream& stream) const {
  WriteLinesTo(stream);
  if (!stream) throw Error("Can't write stream");
}

std::string TCustomMemoSource::BackupName(const std::string& target) {
  std::string ext = platform::ExtractFileExt(target);
  std::string backupExt =
      ext.empty() ? std::string(".~") : ("." + std::string("~") + ext.substr(1)).substr(0, 4);
  return platform::ChangeFileExt(target, backupExt);
}

void TCustomMemoSource::SaveToFile(const std::string& fileName) {
  platform::TAtomicFileWriter file(fileName);
  // A failed write is told by Commit, with the system's reason.
  WriteLinesTo(file.Stream());
  if (Has(soCreateBackups) && !file.InPlace()) {
    // The real file behind a link is what gets replaced and backed up.
    std::string backup = BackupName(file.Target());
    if (OnGetBackupName) OnGetBackupName(file.Target(), backup);
    file.KeepBackup(backup);
  }
  file.Commit();
}

} // namespace marlo
