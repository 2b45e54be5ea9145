#include "core/text/color_cache.h"

#include "core/error.h"

#include <algorithm>
#include <climits>

namespace marlo {

uint16_t TColorCache::Encode(int state) {
  if (state >= 0 && state < 0x8000) return static_cast<uint16_t>(state);
  auto it = std::find(bigStates_.begin(), bigStates_.end(), state);
  if (it == bigStates_.end()) {
    if (bigStates_.size() >= 0x8000) throw Error("Too many colouring states");
    bigStates_.push_back(state);
    it = bigStates_.end() - 1;
  }
  return static_cast<uint16_t>(0x8000 + (it - bigStates_.begin()));
}

// ---- Style strings -------------------------------------------------------------------

int TColorCache::EntryOf(const TLineRecord& r) const {
  uint32_t index = r.Bits & kEntryMask;
  if (index == 0) return -1;
  int e = static_cast<int>(index - 1);
  // An entry that went to another line since has a newer generation.
  return entries_[static_cast<size_t>(e)].Generation == r.Generation ? e : -1;
}

int TColorCache::NewEntry(TLineRecord& r) {
  int e;
  if (!free_.empty()) {
    e = free_.back();
    free_.pop_back();
  } else {
    if (entries_.size() >= kEntryMask - 1) throw Error("Out of memory");
    e = static_cast<int>(entries_.size());
    entries_.emplace_back();
  }
  TEntry& entry = entries_[static_cast<size_t>(e)];
  entry.Kept = false;
  r.Bits = (r.Bits & ~kEntryMask) | static_cast<uint32_t>(e + 1);
  r.Generation = entry.Generation;
  return e;
}

void TColorCache::FreeEntry(int e) {
  TEntry& entry = entries_[static_cast<size_t>(e)];
  if (entry.Listed) Unlink(e);
  entry.Kept = false;
  if (entry.Styles.capacity() > 1024)
    std::string().swap(entry.Styles);
  else
    entry.Styles.clear();
  // The lines that pointed at it see a newer generation; one that would come round again
  // is never used any more.
  if (++entry.Generation != UINT32_MAX) free_.push_back(e);
}

void TColorCache::DropEntryOf(TLineRecord& r) {
  int e = EntryOf(r);
  if (e >= 0) FreeEntry(e);
  r.Bits &= ~kEntryMask;
}

void TColorCache::DropAllEntries() {
  for (size_t e = 0; e < entries_.size(); ++e)
    if (entries_[e].Listed || entries_[e].Kept || !entries_[e].Styles.empty())
      FreeEntry(static_cast<int>(e));
  // Entries never handed out stay as they are: no line can see their generation.
}

void TColorCache::Link(int e) {
  TEntry& entry = entries_[static_cast<size_t>(e)];
  entry.Prev = -1;
  entry.Next = head_;
  if (head_ >= 0) entries_[static_cast<size_t>(head_)].Prev = e;
  head_ = e;
  if (tail_ < 0) tail_ = e;
  entry.Listed = true;
  entry.Bytes = entry.Styles.capacity();
  ++listed_;
  listedBytes_ += entry.Bytes;
}

void TColorCache::Unlink(int e) {
  TEntry& entry = entries_[static_cast<size_t>(e)];
  if (entry.Prev >= 0)
    entries_[static_cast<size_t>(entry.Prev)].Next = entry.Next;
  else
    head_ = entry.Next;
  if (entry.Next >= 0)
    entries_[static_cast<size_t>(entry.Next)].Prev = entry.Prev;
  else
    tail_ = entry.Prev;
  entry.Listed = false;
  --listed_;
  listedBytes_ -= entry.Bytes;
}

void TColorCache::Trim() {
  // The newest entry stays whatever its size: it is the one being read.
  while (listed_ > 1 && (listed_ > MaxCachedLines || listedBytes_ > MaxCachedBytes))
    FreeEntry(tail_);
}

int TColorCache::CachedLines() const {
  return static_cast<int>(entries_.size() - free_.size());
}

void TColorCache::Parse(int line, int state, std::string& out) const {
  std::string_view text = store_.Text(line);
  out.assign(text.size(), '\0');
  parser_->SetLineIndex(line);
  parser_->ColorString(text, state, out);
}

std::string_view TColorCache::Styles(int line) {
  TLineRecord& r = records_[line];
  int e = EntryOf(r);
  if (e >= 0) {
    if (entries_[static_cast<size_t>(e)].Listed) {
      Unlink(e);
      Link(e);
    }
    return entries_[static_cast<size_t>(e)].Styles;
  }
  if ((r.Bits & kStyled) == 0 || (r.Bits & kColored) == 0 || !parser_) return {};
  // A coloured line whose styles went: coloured again as it was.
  e = NewEntry(r);
  Parse(line, Decode(r.Start), entries_[static_cast<size_t>(e)].Styles);
  Link(e);
  Trim();
  return entries_[static_cast<size_t>(e)].Styles;
}

std::string& TColorCache::KeptStyles(int line) {
  if (EntryOf(records_[line]) < 0) Styles(line);
  return OwnStyles(records_[line]);
}

std::string& TColorCache::OwnStyles(TLineRecord& r) {
  int e = EntryOf(r);
  if (e < 0) e = NewEntry(r);
  TEntry& entry = entries_[static_cast<size_t>(e)];
  if (entry.Listed) Unlink(e);
  entry.Kept = true;
  r.Bits |= kStyled;
  return entry.Styles;
}

std::string_view TColorCache::PeekStyles(int line, std::string& scratch) const {
  const TLineRecord& r = records_[line];
  int e = EntryOf(r);
  if (e >= 0) return entries_[static_cast<size_t>(e)].Styles;
  if ((r.Bits & kStyled) == 0 || (r.Bits & kColored) == 0 || !parser_) return {};
  Parse(line, Decode(r.Start), scratch);
  return scratch;
}

// ---- Colouring -----------------------------------------------------------------------

int TColorCache::ColorLines(int first, int last, bool force) {
  last = std::min(last, records_.Count() - 1);
  first = std::max(first, 0);
  if (first > last) return recolorFrom_;
  if (!parser_) {
    if (force || highlightUrls_) {
      for (int i = first; i <= last; ++i) {
        TLineRecord& r = records_[i];
        if (r.Bits & kColored) continue;
        DropEntryOf(r);
        r.Bits |= kColored;
        anyColored_ = true;
      }
    }
    firstUncolored_ = last + 1;
    return recolorFrom_;
  }
  int state = first > 0 ? EndState(first - 1) : 0;
  for (int i = first; i <= last; ++i) {
    TLineRecord& r = records_[i];
    if ((r.Bits & kColored) && Decode(r.Start) == state) {
      state = Decode(r.End);
      continue;
    }
    // Of a long run only the lines near its end are likely to be shown: the others keep
    // their states alone.
    bool keep = last - i < MaxCachedLines;
    int e = keep ? EntryOf(r) : -1;
    if (!keep) {
      DropEntryOf(r);
    } else if (e < 0) {
      e = NewEntry(r);
    } else {
      TEntry& entry = entries_[static_cast<size_t>(e)];
      if (entry.Listed) Unlink(e);
      entry.Kept = false;
    }
    std::string& out = keep ? entries_[static_cast<size_t>(e)].Styles : scratch_;
    std::string_view text = store_.Text(i);
    out.assign(text.size(), '\0');
    r.Start = Encode(state);
    parser_->SetLineIndex(i);
    state = parser_->ColorString(text, state, out);
    r.Bits |= kColored | kStyled;
    anyColored_ = true;
    if (state != Decode(r.End)) {
      recolorFrom_ = std::max(recolorFrom_, i + 1);
      r.End = Encode(state);
    }
    if (keep) {
      Link(e);
      Trim();
    }
  }
  firstUncolored_ = last + 1;
  return recolorFrom_;
}

int TColorCache::EnsureLineColored(int line, bool force) {
  // Colouring runs 100 lines ahead of what is shown, short of overflowing.
  int last = (line >= firstUncolored_ && line < INT_MAX - 100) ? line + 100 : line;
  return ColorLines(firstUncolored_, last, force);
}

std::string_view TColorCache::LineColors(int line) {
  if (line < 0 || line >= records_.Count()) return {};
  if (!IsLineColored(line)) EnsureLineColored(line, true);
  if (!IsLineColored(line)) {
    // A line before FirstUncolored that lost its colours inside a change.
    int keep = firstUncolored_;
    ColorLines(line, line, true);
    firstUncolored_ = keep;
  }
  return Styles(line);
}

bool TColorCache::RecolorEditedLine(int line) {
  if (!parser_ || line < 0 || line >= records_.Count() || line >= firstUncolored_) return false;
  int endState = EndState(line);
  int keep = firstUncolored_;
  ColorLines(line, line, false);
  firstUncolored_ = keep;
  return EndState(line) != endState;
}

void TColorCache::TextChangedFrom(int line) {
  firstUncolored_ = std::min(firstUncolored_, std::max(0, line));
}

void TColorCache::Reset() {
  for (int i = 0; anyColored_ && i < records_.Count(); ++i) {
    // Lines never coloured are left untouched, so that their pages stay unused.
    TLineRecord& r = records_[i];
    if (r.Bits & kColored) r.Bits &= ~kColored;
  }
  anyColored_ = false;
  DropAllEntries();
  firstUncolored_ = 0;
}

// ---- Told by the line store ------------------------------------------------------------

void TColorCache::LinesReplaced(int count) {
  DropAllEntries();
  records_.Reset(count);
  bigStates_.clear();
  anyColored_ = false;
}

void TColorCache::LineInserted(int line) {
  records_.Insert(line);
}

void TColorCache::LineDeleted(int line) {
  DropEntryOf(records_[line]);
  records_.Erase(line);
}

void TColorCache::TextReplaced(int line, size_t length) {
  TLineRecord& r = records_[line];
  r.Bits &= ~kColored;
  if (r.Bits & kStyled) OwnStyles(r).assign(length, '\0');
}

void TColorCache::CharsInserted(int line, size_t pos, size_t count, char style) {
  TLineRecord& r = records_[line];
  if (r.Bits & kStyled) {
    std::string& styles = KeptStyles(line);
    styles.resize(store_.Text(line).size(), '\0');
    styles.insert(std::min(pos, styles.size()), count, style);
  }
  r.Bits &= ~kColored;
}

void TColorCache::CharsErased(int line, size_t pos, size_t count) {
  TLineRecord& r = records_[line];
  if (r.Bits & kStyled) {
    std::string& styles = KeptStyles(line);
    if (pos < styles.size()) styles.erase(pos, count);
    styles.resize(store_.Text(line).size() - count, '\0');
  }
  r.Bits &= ~kColored;
}

void TColorCache::CharsAppended(int line, size_t count, std::string_view styles) {
  TLineRecord& r = records_[line];
  if ((r.Bits & kStyled) || !styles.empty()) {
    size_t old = store_.Text(line).size();
    std::string& kept = KeptStyles(line);
    kept.resize(old, '\0');
    kept.append(styles.substr(0, count));
    kept.resize(old + count, '\0');
  }
  if (count > 0) r.Bits &= ~kColored;
}

} // namespace marlo
