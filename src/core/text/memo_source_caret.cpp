// The caret, its moves, and the selection.
#include "core/text/memo_source.h"

#include <algorithm>
#include <climits>

namespace marlo {

namespace {

bool Before(TPoint a, TPoint b) {
  return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

int ClampInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, 0, INT_MAX));
}

} // namespace

// ---- Caret moves ---------------------------------------------------------------------

void TCustomMemoSource::ClampCaret(int& x, int& y) const {
  // Room past the end of a line or of the text is bounded, so that typing there pads or
  // appends a sane amount instead of exhausting memory.
  if (!Has(soBeyondFileEnd))
    y = std::min(y, std::max(0, LineCount() - 1));
  else
    y = std::min(y, LineCount() + kMaxVirtualSpace);
  if (Has(soLimitEOL))
    x = std::min(x, LineLength(y));
  else
    x = std::min(x, std::max(LineLength(y), kMaxVirtualSpace));
  if (Has(soCursorAlwaysOnTabs)) {
    int from = -1, to = -1;
    ColumnToIndex(y, x, &from, &to);
    if (from >= 0) x = (x - from <= to - x) ? from : to;
  }
}

void TCustomMemoSource::MoveCaret(int dLine, int dCol, bool force) {
  if (replaying_) {
    // Replayed moves land exactly where they were recorded; the caret is clamped once,
    // when the replay ends.
    SetCaretExact(ClampInt(static_cast<long long>(caret_.X) + dCol),
                  ClampInt(static_cast<long long>(caret_.Y) + dLine));
    return;
  }
  if (OnCaretMoveHook) OnCaretMoveHook(*this, dLine, dCol);
  int y = ClampInt(static_cast<long long>(caret_.Y) + dLine);
  int x = ClampInt(static_cast<long long>(caret_.X) + dCol);
  ClampCaret(x, y);
  if (x == caret_.X && y == caret_.Y && !force) return;
  ChangeScope scope(*this, TChangeKind::CaretMove);
  if (y != caret_.Y) TrimTrailingBlanks(caret_.Y);
  SetCaretExact(x, y);
}

void TCustomMemoSource::SetCaretExact(int x, int y) {
  if (x == caret_.X && y == caret_.Y) return;
  ChangeScope scope(*this, TChangeKind::CaretMove);
  PushCaretRecord(y - caret_.Y, x - caret_.X);
  caret_.X = x;
  caret_.Y = y;
}

void TCustomMemoSource::SetCaret(long long x, long long y, bool force) {
  int cx = ClampInt(x), cy = ClampInt(y);
  MoveCaret(cy - caret_.Y, cx - caret_.X, force);
}

void TCustomMemoSource::TrimTrailingBlanks(int y) {
  if (y < 0 || y >= LineCount() || IsLineReadOnly(y)) return;
  std::string_view s = store_.Text(y);
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 32) --n;
  if (n == s.size()) return;
  std::string trimmed(s.substr(n));
  if (trimmed.find_first_not_of(' ') != std::string::npos && allowUndo_) {
    // Trailing spaces are not brought back by undo, but a tab or a control character is:
    // a tab holds the columns of the text before it apart, and the records made before
    // either count on them; a control character is text the user never asked to lose.
    int from = ExpandedLength(s.substr(0, n)), x = caret_.X;
    std::string_view colors = colors_.Styles(y);
    std::string styles(colors.substr(std::min(n, colors.size())));
    UndoGroup group(*this);
    PushCaretRecord(0, from - x);
    store_.EraseChars(y, n, trimmed.size());
    if (TUndoRecord* r = AddUndo(uaDelete)) {
      r->Text = trimmed;
      r->Styles = styles;
    }
    PushCaretRecord(0, x - from);
  } else {
    // Deliberately not recorded: undo does not bring trailing blanks back.
    store_.EraseChars(y, n, s.size() - n);
  }
  MarkLinesChanged(y, y);
}

void TCustomMemoSource::MoveCaretLeft() {
  if (Has(soCursorOnTabs) || Has(soCursorAlwaysOnTabs)) {
    int from = -1, to = -1;
    if (caret_.X > 0) {
      ColumnToIndex(caret_.Y, caret_.X - 1, &from, &to);
      if (from < 0) {
        // The column left of the caret may be the first column of a tab's expansion.
        int idx = ColumnToIndex(caret_.Y, caret_.X - 1);
        std::string_view s = StoredLine(caret_.Y);
        if (idx < static_cast<int>(s.size()) && s[static_cast<size_t>(idx)] == '\t')
          from = IndexToColumn(s, idx);
      }
    }
    if (from >= 0) {
      MoveCaret(0, from - caret_.X);
      return;
    }
  }
  MoveCaret(0, -1);
}

void TCustomMemoSource::MoveCaretRight() {
  if (Has(soCursorOnTabs) || Has(soCursorAlwaysOnTabs)) {
    std::string_view s = StoredLine(caret_.Y);
    int idx = ColumnToIndex(caret_.Y, caret_.X);
    if (idx < static_cast<int>(s.size()) && s[static_cast<size_t>(idx)] == '\t') {
      int start = IndexToColumn(s, idx), end = IndexToColumn(s, idx + 1);
      if (caret_.X < end - 1 || (caret_.X == start && end - start > 1)) {
        MoveCaret(0, end - caret_.X);
        return;
      }
    }
  }
  if (Has(soLimitEOL) && caret_.X >= LineLength(caret_.Y)) {
    if (selKind_ == TSelectionType::Column) return;
    if (caret_.Y + 1 < LineCount()) MoveCaret(1, -caret_.X);
    return;
  }
  MoveCaret(0, 1);
}

void TCustomMemoSource::MoveCaretToLineStart() {
  MoveCaret(0, -caret_.X);
}

void TCustomMemoSource::MoveCaretToLineEnd() {
  MoveCaret(0, TrimmedLength(caret_.Y) - caret_.X);
}

void TCustomMemoSource::MoveCaretToTop() {
  SetCaret(0, 0);
}

void TCustomMemoSource::MoveCaretToBottom() {
  int last = std::max(0, LineCount() - 1);
  SetCaret(TrimmedLength(last), last);
}

TPoint TCustomMemoSource::WordRightTarget() const {
  std::string s = LineText(caret_.Y);
  int n = static_cast<int>(s.size());
  int i = caret_.X;
  if (i >= n) return caret_.Y + 1 < LineCount() ? TPoint{0, caret_.Y + 1} : Caret();
  auto at = [&](int k) { return static_cast<unsigned char>(s[static_cast<size_t>(k)]); };
  while (i < n && !IsDelimiter(at(i))) ++i;
  while (i < n && IsDelimiter(at(i))) ++i;
  return {i, caret_.Y};
}

TPoint TCustomMemoSource::WordLeftTarget() const {
  std::string s = LineText(caret_.Y);
  int i = std::min(caret_.X, static_cast<int>(s.size()));
  auto at = [&](int k) { return static_cast<unsigned char>(s[static_cast<size_t>(k)]); };
  while (i > 0 && IsDelimiter(at(i - 1))) --i;
  if (i == 0)
    return caret_.Y > 0 ? TPoint{TrimmedLength(caret_.Y - 1), caret_.Y - 1} : TPoint{0, 0};
  while (i > 0 && !IsDelimiter(at(i - 1))) --i;
  return {i, caret_.Y};
}

void TCustomMemoSource::WordRight() {
  TPoint p = WordRightTarget();
  SetCaret(p.X, p.Y);
}

void TCustomMemoSource::WordLeft() {
  TPoint p = WordLeftTarget();
  SetCaret(p.X, p.Y);
}

bool TCustomMemoSource::WordAt(int x, int y, TWordSelectionType mode, int& from, int& to) const {
  std::string s = LineText(y);
  int n = static_cast<int>(s.size());
  if (n == 0 || x < 0) return false;
  auto delim = [&](int k) {
    return IsDelimiter(static_cast<unsigned char>(s[static_cast<size_t>(k)]));
  };
  int i = std::min(x, n - 1);
  int start = i;
  while (i >= 0 && delim(i)) --i;
  bool passedWord = false;
  while (i >= 0 && !delim(i)) {
    --i;
    passedWord = true;
  }
  i = passedWord ? i + 1 : start;
  while (i < n && delim(i)) ++i;
  if (i >= n) return false;
  from = i;
  while (i < n && !delim(i)) ++i;
  if (mode == wsWordWithSpace && i < n && s[static_cast<size_t>(i)] == ' ')
    ++i;
  else if (mode == wsUntilNextWord)
    while (i < n && delim(i)) ++i;
  to = i;
  return true;
}

std::string TCustomMemoSource::WordAtCaret() const {
  int from = 0, to = 0;
  if (!WordAt(caret_.X, caret_.Y, wsWordOnly, from, to)) return {};
  return LineText(caret_.Y).substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// ---- Selection -----------------------------------------------------------------------

TSelectionType TCustomMemoSource::FilterSelectionKind(TSelectionType kind) {
  if (kind == TSelectionType::None) return kind;
  switch (blockOption_) {
  case bkStreamSel:
    kind = TSelectionType::Stream;
    break;
  case bkBlockSel:
    kind = TSelectionType::Column;
    break;
  case bkNone:
    kind = TSelectionType::None;
    break;
  case bkBoth:
    break;
  }
  if (OnGetSelectionType) OnGetSelectionType(*this, kind);
  return kind;
}

void TCustomMemoSource::SetBlock(TSelectionType kind, TPoint a, TPoint b) {
  blockBegin_.X = a.X;
  blockBegin_.Y = a.Y;
  blockEnd_.X = b.X;
  blockEnd_.Y = b.Y;
  selKind_ = kind;
  OrderBlock();
  blockSet_ = true;
}

void TCustomMemoSource::OrderBlock() {
  if (selKind_ == TSelectionType::Column) {
    if (blockBegin_.X > blockEnd_.X) std::swap(blockBegin_.X, blockEnd_.X);
    if (blockBegin_.Y > blockEnd_.Y) std::swap(blockBegin_.Y, blockEnd_.Y);
  } else if (Before(BlockEnd(), BlockBegin())) {
    std::swap(blockBegin_.X, blockEnd_.X);
    std::swap(blockBegin_.Y, blockEnd_.Y);
  }
}

void TCustomMemoSource::SelectMove(TSelectionType kind, const std::function<void()>& move) {
  ChangeScope scope(*this, TChangeKind::CaretMove);
  kind = FilterSelectionKind(kind);
  if (kind == TSelectionType::None) {
    move();
    return;
  }
  TPoint anchor = Caret(), b = BlockBegin(), e = BlockEnd();
  bool handled = false;
  if (selKind_ == TSelectionType::Stream && (anchor == b || anchor == e)) {
    move();
    (anchor == e ? e : b) = Caret();
    handled = true;
  } else if (selKind_ == TSelectionType::Column && (anchor.X == b.X || anchor.X == e.X) &&
             (anchor.Y == b.Y || anchor.Y == e.Y)) {
    move();
    TPoint c = Caret();
    (anchor.X == b.X ? b.X : e.X) = c.X;
    (anchor.Y == b.Y ? b.Y : e.Y) = c.Y;
    handled = true;
  }
  if (!handled) {
    move();
    b = anchor;
    e = Caret();
    if (kind == TSelectionType::Column) {
      if (b.X > e.X) std::swap(b.X, e.X);
      if (b.Y > e.Y) std::swap(b.Y, e.Y);
    } else if (Before(e, b)) {
      std::swap(b, e);
    }
  }
  SetBlock(kind, b, e);
}

void TCustomMemoSource::SetSelectionKind(TSelectionType kind) {
  ChangeScope scope(*this, TChangeKind::Selection);
  selKind_ = FilterSelectionKind(kind);
  OrderBlock();
  blockSet_ = true;
}

void TCustomMemoSource::SetBlockBegin() {
  ChangeScope scope(*this, TChangeKind::Selection);
  TPoint b = Caret(), e = BlockEnd();
  if (Before(e, b)) e = b; // the other end never stands before this one
  TSelectionType kind =
      selKind_ == TSelectionType::None ? FilterSelectionKind(TSelectionType::Stream) : selKind_;
  SetBlock(kind, b, e);
}

void TCustomMemoSource::SetBlockEnd() {
  ChangeScope scope(*this, TChangeKind::Selection);
  TPoint b = BlockBegin(), e = Caret();
  if (Before(e, b)) b = e;
  TSelectionType kind =
      selKind_ == TSelectionType::None ? FilterSelectionKind(TSelectionType::Stream) : selKind_;
  SetBlock(kind, b, e);
}

void TCustomMemoSource::SelectBlock(TSelectionType kind, int beginX, int beginY, int endX,
                                    int endY) {
  ChangeScope scope(*this, TChangeKind::Selection);
  int limitY = LineCount() + kMaxVirtualSpace;
  beginY = std::min(beginY, limitY);
  endY = std::min(endY, limitY);
  beginX = std::min(beginX, std::max(LineLength(beginY), kMaxVirtualSpace));
  endX = std::min(endX, std::max(LineLength(endY), kMaxVirtualSpace));
  SetBlock(kind == TSelectionType::None ? kind : FilterSelectionKind(kind),
           {std::max(0, beginX), std::max(0, beginY)}, {std::max(0, endX), std::max(0, endY)});
}

void TCustomMemoSource::SelectAll() {
  if (blockOption_ == bkNone) return;
  ChangeScope scope(*this, TChangeKind::CaretMove);
  selKind_ = TSelectionType::None;
  SetCaret(0, 0);
  TPoint b = Caret();
  MoveCaretToBottom();
  SetBlock(FilterSelectionKind(TSelectionType::Stream), b, Caret());
}

void TCustomMemoSource::SelectWordAtCaret() {
  int from = 0, to = 0;
  if (!WordAt(caret_.X, caret_.Y, wsWordOnly, from, to)) return;
  ChangeScope scope(*this, TChangeKind::CaretMove);
  MoveCaret(0, to - caret_.X);
  SetBlock(FilterSelectionKind(TSelectionType::Stream), {from, caret_.Y}, {to, caret_.Y});
}

void TCustomMemoSource::SelectCaretLine() {
  ChangeScope scope(*this, TChangeKind::Selection);
  int y = caret_.Y;
  // The last line has no next line to end on: its end stands in for it.
  TPoint end = y + 1 < LineCount() ? TPoint{0, y + 1} : TPoint{LineLength(y), y};
  SetBlock(FilterSelectionKind(TSelectionType::Stream), {0, y}, end);
}

void TCustomMemoSource::ClearSelection() {
  if (selKind_ == TSelectionType::None) return;
  ChangeScope scope(*this, TChangeKind::Selection);
  selKind_ = TSelectionType::None;
}

bool TCustomMemoSource::SelectedSpan(int y, int& from, int& to) const {
  TPoint b = BlockBegin(), e = BlockEnd();
  if (selKind_ == TSelectionType::None || y < b.Y || y > e.Y) return false;
  if (selKind_ == TSelectionType::Column) {
    from = b.X;
    to = e.X == INT_MAX ? INT_MAX : e.X + 1;
    return true;
  }
  from = y == b.Y ? b.X : 0;
  to = y == e.Y ? e.X : INT_MAX;
  return from < to;
}

bool TCustomMemoSource::IsInSelection(int x, int y) const {
  int from = 0, to = 0;
  return SelectedSpan(y, from, to) && x >= from && x < to;
}

bool TCustomMemoSource::CaretInSelection() const {
  return IsInSelection(caret_.X, caret_.Y);
}

} // namespace marlo
