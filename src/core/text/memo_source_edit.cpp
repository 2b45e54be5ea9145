// The four primitives that change text, and how they move positions and bookmarks.
#include "core/text/memo_source.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <optional>

namespace marlo {

namespace {

int AddClamped(int a, long long b) {
  return static_cast<int>(std::clamp<long long>(a + b, 0, INT_MAX));
}

} // namespace

TUndoRecord* TCustomMemoSource::AddUndo(TUndoAction action) {
  assert(InChange());
  if (!allowUndo_) return nullptr;
  if (!replaying_) TrimUndo();
  TUndoRecord& r = RecordingList().Push();
  r.Action = action;
  r.FirstOfChange = firstRecord_;
  r.ChangeKind = changeKind_;
  r.InGroup = groupDepth_ > 0;
  firstRecord_ = false;
  return &r;
}

void TCustomMemoSource::PushCaretRecord(int dLine, int dCol) {
  // Moves that follow each other in one change are one move to undo: a Replace All makes
  // several for every replacement.
  TUndoList& list = RecordingList();
  if (allowUndo_ && !firstRecord_ && !list.Empty() && list.Count() - 1 != savePoint_) {
    TUndoRecord& last = list.Last();
    if (last.Action == uaCaretMove && !last.Correction && last.ChangeKind == changeKind_ &&
        last.InGroup == (groupDepth_ > 0)) {
      last.Value1 += dLine;
      last.Value2 += dCol;
      return;
    }
  }
  if (TUndoRecord* r = AddUndo(uaCaretMove)) {
    r->Value1 = dLine;
    r->Value2 = dCol;
  }
}

char TCustomMemoSource::StyleBefore(int y, int index) {
  std::string_view colors = colors_.Styles(y);
  return (index > 0 && index <= static_cast<int>(colors.size()))
             ? colors[static_cast<size_t>(index - 1)]
             : 0;
}

// Blanks that fill a line up to the caret are recorded as their own steps, so that undo
// takes them away again and never deletes text right of the insertion.
void TCustomMemoSource::PadLine(int y, int len, int x) {
  PushCaretRecord(0, len - x);
  store_.InsertChars(y, store_.Text(y).size(), std::string(static_cast<size_t>(x - len), ' '));
  if (TUndoRecord* r = AddUndo(uaInsert)) r->Value1 = x - len;
  PushCaretRecord(0, x - len);
  MarkLinesChanged(y, y);
}

// Lines appended so that the caret line exists, recorded as splits at the end of the
// last line. An empty text's first line is not recorded: the primitives remove a lone
// empty line again.
void TCustomMemoSource::AppendLinesToCaret() {
  if (caret_.Y < LineCount()) return;
  if (LineCount() == 0) {
    store_.Insert(0, "");
    MarkLinesChanged(0, 0);
  }
  if (caret_.Y < LineCount()) return;
  int last = LineCount() - 1, n = LineLength(last);
  UndoGroup group(*this);
  PushCaretRecord(last - caret_.Y, n - caret_.X);
  while (caret_.Y >= LineCount()) {
    store_.Insert(LineCount(), "");
    AddUndo(uaSplit);
  }
  PushCaretRecord(caret_.Y - last, caret_.X - n);
  MarkLinesChanged(last, LineCount() - 1);
}

// The caret stands strictly inside the expansion of a tab: the tab becomes the spaces it
// showed, recorded so that undo brings the tab back.
void TCustomMemoSource::ConvertTabAtCaret(int tabFrom, int tabTo) {
  int y = caret_.Y, x = caret_.X;
  int idx = ColumnToIndex(y, tabFrom);
  PushCaretRecord(0, tabFrom - x);
  std::string style(1, StyleBefore(y, idx + 1));
  store_.EraseChars(y, static_cast<size_t>(idx), 1);
  if (TUndoRecord* r = AddUndo(uaDelete)) {
    r->Text = "\t";
    if (!colors_.Styles(y).empty()) r->Styles = style;
  }
  store_.InsertChars(y, static_cast<size_t>(idx),
                     std::string(static_cast<size_t>(tabTo - tabFrom), ' '), style[0]);
  if (TUndoRecord* r = AddUndo(uaInsert)) r->Value1 = tabTo - tabFrom;
  PushCaretRecord(0, x - tabFrom);
  MarkLinesChanged(y, y);
}

// When the caret stands inside a tab's expansion, the tab becomes spaces, in an undo
// group that `group` holds until the caller's edit is done.
void TCustomMemoSource::OpenTabAtCaret(std::optional<UndoGroup>& group) {
  int tabFrom = -1, tabTo = -1;
  ColumnToIndex(caret_.Y, caret_.X, &tabFrom, &tabTo);
  if (tabFrom < 0) return;
  group.emplace(*this);
  ConvertTabAtCaret(tabFrom, tabTo);
}

bool TCustomMemoSource::InsertText(std::string_view s) {
  if (s.empty() || readOnly_) return false;
  ChangeScope scope(*this, TChangeKind::Other);
  AppendLinesToCaret();
  int y = caret_.Y, x = caret_.X;
  if (IsLineReadOnly(y)) return false;
  int len = LineLength(y);
  std::optional<UndoGroup> group;
  if (x > len) {
    group.emplace(*this);
    PadLine(y, len, x);
  } else {
    OpenTabAtCaret(group);
  }
  int idx = ColumnToIndex(y, x);
  store_.InsertChars(y, static_cast<size_t>(idx), s, StyleBefore(y, idx));
  long long width = static_cast<long long>(s.size());
  if (LineHasTabs(y)) width = IndexToColumn(store_.Text(y), idx + static_cast<int>(s.size())) - x;
  if (TUndoRecord* r = AddUndo(uaInsert))
    r->Value1 = static_cast<int32_t>(std::min<long long>(width, INT_MAX));
  bookmarks_.Adjust(y, [&](TBookmark& b) {
    if (b.Y != y || b.X < x) return false;
    b.X = AddClamped(b.X, width);
    return true;
  });
  MovePositionsInsert(y, x, static_cast<int>(std::min<long long>(width, INT_MAX)));
  MarkLinesChanged(y, y);
  return true;
}

void TCustomMemoSource::DeleteChars(int n) {
  if (n <= 0 || readOnly_) return;
  int y = caret_.Y;
  if (y >= LineCount() || IsLineReadOnly(y)) return;
  int x = caret_.X;
  if (x >= LineLength(y)) return;
  ChangeScope scope(*this, TChangeKind::Other);
  std::optional<UndoGroup> group;
  OpenTabAtCaret(group);
  std::string_view s = store_.Text(y);
  int idx = ColumnToIndex(y, x);
  int size = static_cast<int>(s.size());
  int endIdx;
  long long width;
  if (!LineHasTabs(y)) {
    endIdx = static_cast<int>(std::min<long long>(static_cast<long long>(idx) + n, size));
    width = endIdx - idx;
  } else {
    // Every stored character whose expansion starts inside the deleted columns goes.
    long long col = x, limit = static_cast<long long>(x) + n;
    endIdx = idx;
    while (endIdx < size && col < limit) {
      col = s[static_cast<size_t>(endIdx)] == '\t' ? NextTabStop(static_cast<int>(col)) : col + 1;
      ++endIdx;
    }
    width = col - x;
  }
  std::string_view colors = colors_.Styles(y);
  TUndoRecord* r = AddUndo(uaDelete);
  if (r) {
    r->Text.assign(s.substr(static_cast<size_t>(idx), static_cast<size_t>(endIdx - idx)));
    if (static_cast<int>(colors.size()) > idx)
      r->Styles.assign(colors.substr(static_cast<size_t>(idx), static_cast<size_t>(endIdx - idx)));
  }
  store_.EraseChars(y, static_cast<size_t>(idx), static_cast<size_t>(endIdx - idx));
  int w = static_cast<int>(width);
  bookmarks_.Adjust(y, [&](TBookmark& b) {
    if (b.Y != y || static_cast<long long>(b.X) <= static_cast<long long>(x) + w - 1) return false;
    b.X -= w;
    return true;
  });
  MovePositionsDelete(y, x, w);
  MarkLinesChanged(y, y);
  RemoveLoneEmptyLine();
}

void TCustomMemoSource::SplitLine() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Other);
  if (LineCount() == 0) {
    store_.Insert(0, "");
    MarkLinesChanged(0, 0);
  }
  int y = caret_.Y, x = caret_.X;
  if (y >= LineCount() || IsLineReadOnly(y)) return;
  int len = LineLength(y);
  if (x > len) {
    // Past the end of the line the text is split at its end, and recorded that way, so
    // that undo joins there instead of padding the line up to the caret; bookmarks and
    // positions still follow the caret column.
    UndoGroup group(*this);
    PushCaretRecord(0, len - x);
    caret_.X = len;
    SplitAt(y, len, x);
    caret_.X = x;
    PushCaretRecord(0, x - len);
    return;
  }
  std::optional<UndoGroup> group;
  OpenTabAtCaret(group);
  SplitAt(y, x, x);
}

void TCustomMemoSource::SplitAt(int y, int x, int adjustX) {
  std::string_view s = store_.Text(y);
  size_t idx = std::min<size_t>(static_cast<size_t>(ColumnToIndex(y, x)), s.size());
  if (idx == 0 && !s.empty()) {
    // All of the text moves down: a new empty line goes in front of it instead of the
    // text being copied, and the line's own marks stay on the upper line.
    store_.Insert(y, "");
    TStringItem& upper = store_.Item(y);
    TStringItem& lower = store_.Item(y + 1);
    upper.LineFlags = lower.LineFlags;
    upper.LineState = lower.LineState;
    upper.ItemFlags |= static_cast<uint8_t>(lower.ItemFlags & (ifReadOnly | ifOutlineMask));
    lower.LineFlags = 0;
    lower.LineState = 0;
    lower.ItemFlags &= static_cast<uint8_t>(~(ifReadOnly | ifOutlineMask));
  } else {
    std::string tail(s.substr(idx));
    std::string_view colors = colors_.Styles(y);
    std::string tailStyles = colors.size() > idx ? std::string(colors.substr(idx)) : std::string();
    store_.EraseChars(y, idx, tail.size());
    store_.Insert(y + 1, tail);
    if (!tailStyles.empty()) colors_.SetStyles(y + 1, tailStyles);
  }
  bookmarks_.Adjust(y, [&](TBookmark& b) {
    if (b.Y > y)
      ++b.Y;
    else if (b.X >= adjustX) {
      b.Y = y + 1;
      b.X -= adjustX;
    } else
      return false;
    return true;
  });
  MovePositionsSplit(y, adjustX);
  AddUndo(uaSplit);
  MarkLinesChanged(y, LineCount() - 1); // every line below moved down
  if (!replaying_) {
    // The first part loses its trailing blanks, recorded, with the caret taken there and back.
    int len = LineLength(y), trimmed = TrimmedLength(y), back = caret_.X;
    if (trimmed < len) {
      SetCaretExact(trimmed, y);
      DeleteChars(len - trimmed);
      SetCaretExact(back, y);
    }
  }
}

void TCustomMemoSource::AppendEmptyLine() {
  if (readOnly_ || LineCount() == 0) return;
  ChangeScope scope(*this, TChangeKind::Other);
  int y = LineCount() - 1;
  if (IsLineReadOnly(y)) return;
  // A split at the end of the last line, recorded with the caret taken there and back,
  // without the trimming of blanks that a caret move or Enter would do.
  int x = caret_.X, cy = caret_.Y, len = LineLength(y);
  UndoGroup group(*this);
  PushCaretRecord(y - cy, len - x);
  store_.Insert(y + 1, "");
  AddUndo(uaSplit);
  PushCaretRecord(cy - y, x - len);
  group.End();
  MarkLinesChanged(y, y + 1);
}

void TCustomMemoSource::JoinLines() {
  if (readOnly_) return;
  int y = caret_.Y, x = caret_.X;
  if (LineCount() <= 1 || y >= LineCount() - 1) return;
  if (IsLineReadOnly(y) || IsLineReadOnly(y + 1)) return;
  int len = LineLength(y);
  if (x < len) return;
  ChangeScope scope(*this, TChangeKind::Other);
  std::optional<UndoGroup> group;
  if (x > len) {
    group.emplace(*this);
    PadLine(y, len, x);
  }
  std::string next(store_.Text(y + 1));
  std::string nextStyles(colors_.Styles(y + 1));
  uint16_t flags = store_.Item(y + 1).LineFlags;
  store_.Append(y, next, nextStyles);
  store_.Item(y).LineFlags |= flags;
  store_.Delete(y + 1);
  bookmarks_.Adjust(y + 1, [&](TBookmark& b) {
    if (b.Y == y + 1) {
      b.Y = y;
      b.X = AddClamped(b.X, x);
    } else {
      --b.Y;
    }
    return true;
  });
  MovePositionsJoin(y, x);
  AddUndo(uaJoin);
  MarkLinesChanged(y, std::max(y, LineCount())); // every line below moved up
  RemoveLoneEmptyLine();
}

void TCustomMemoSource::RemoveLoneEmptyLine() {
  // An empty text has no lines at all.
  if (LineCount() == 1 && store_.Item(0).Length == 0) {
    store_.Delete(0);
    MarkLinesChanged(0, 0);
  }
}

// ---- Tracked positions ---------------------------------------------------------------

namespace {

TMoveParts PartsOf(const TPosition* p) {
  return p->OnChange ? p->OnChange(*p) : mpNone;
}

} // namespace

bool TCustomMemoSource::IsAfter(const TPosition* p, int column) const {
  return p == &blockBegin_ ? p->X >= column : p->X > column;
}

void TCustomMemoSource::MovePositionsInsert(int line, int col, int width) {
  for (TPosition* p : positions_)
    if (p->Y == line && IsAfter(p, col) && (PartsOf(p) & mpColumn)) p->X = AddClamped(p->X, width);
}

void TCustomMemoSource::MovePositionsDelete(int line, int col, int width) {
  for (TPosition* p : positions_)
    if (p->Y == line && IsAfter(p, col) && (PartsOf(p) & mpColumn))
      p->X = std::max(p->X - width, col);
}

void TCustomMemoSource::MovePositionsSplit(int line, int col) {
  for (TPosition* p : positions_) {
    TMoveParts parts = PartsOf(p);
    if (p->Y == line && IsAfter(p, col)) {
      if (parts & mpLine) p->Y = line + 1;
      if (parts & mpColumn) p->X = std::max(0, p->X - col);
    } else if (p->Y > line && (parts & mpLine)) {
      p->Y = AddClamped(p->Y, 1);
    }
  }
}

void TCustomMemoSource::MovePositionsJoin(int line, int col) {
  for (TPosition* p : positions_) {
    TMoveParts parts = PartsOf(p);
    if (p->Y == line && p->X >= col) {
      if (parts & mpColumn) p->X = col;
    } else if (p->Y == line + 1) {
      if (parts & mpLine) p->Y = line;
      if (parts & mpColumn) p->X = AddClamped(p->X, col);
    } else if (p->Y > line + 1 && (parts & mpLine)) {
      --p->Y;
    }
  }
}

// ---- Insert and overwrite mode -------------------------------------------------------------

void TCustomMemoSource::SetOverwrite(bool value) {
  if (value == overwrite_) return;
  ChangeScope scope(*this, TChangeKind::Overwrite);
  overwrite_ = value;
  changeFlags_.Include(chOverwrite);
}

} // namespace marlo
