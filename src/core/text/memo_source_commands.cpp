// Editing commands built on the primitives: typing, Enter, Backspace, Delete, Tab, and
// the word and line deletions.
#include "core/text/memo_source.h"

#include <algorithm>
#include <climits>

namespace marlo {

bool TCustomMemoSource::DeleteSelectionIfOverwriting() {
  if (!Has(soOverwriteBlocks) || Has(soPersistentBlocks) || !HasSelection()) return false;
  DeleteSelection();
  return true;
}

void TCustomMemoSource::TypeChar(char c) {
  auto uc = static_cast<unsigned char>(c);
  if (uc < 32 || uc == 127 || readOnly_) return; // control characters are commands, not text
  ChangeScope scope(*this, TChangeKind::Typing);
  TPoint oldBegin = BlockBegin(), oldEnd = BlockEnd();
  TSelectionType oldKind = selKind_;
  DeleteSelectionIfOverwriting();
  if (overwrite_) DeleteChars(1);
  if (InsertText(std::string(1, c))) MoveCaretRight();
  if (!Has(soPersistentBlocks) && !Has(soOverwriteBlocks)) selKind_ = TSelectionType::None;
  if (Has(soPersistentBlocks) && overwrite_) SetBlock(oldKind, oldBegin, oldEnd);
}

std::string TCustomMemoSource::IndentFill(int y, int indent) const {
  if (Has(soUseTabCharacter) && Has(soUsePrevIndent) && !StoredLine(y).empty()) {
    std::string_view s = StoredLine(y);
    size_t n = 0;
    while (n < s.size() && IndexToColumn(s, static_cast<int>(n)) < indent) ++n;
    return std::string(s.substr(0, n));
  }
  std::string fill;
  int col = 0;
  if (Has(soUseTabCharacter) && Has(soOptimalFill)) {
    // Tabs as far as they reach without passing the indentation, then spaces.
    for (int k = 0; TabStopColumn(k) <= indent; ++k) {
      fill += '\t';
      col = TabStopColumn(k);
    }
  }
  fill.append(static_cast<size_t>(indent - col), ' ');
  return fill;
}

void TCustomMemoSource::InsertNewLine() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::NewLine);
  int y = caret_.Y, x = caret_.X;
  bool autoIndent = Has(soAutoIndent);
  if (overwrite_) {
    int col = 0;
    if (autoIndent) {
      std::string line = LineText(y);
      col = (x > LineIndent(y) || line.empty()) ? LineIndent(y + 1) : x;
    }
    if (OnNewLineColumnHook) OnNewLineColumnHook(*this, col);
    MoveCaretDown();
    SetCaretX(col);
    return;
  }
  DeleteSelectionIfOverwriting();
  y = caret_.Y;
  x = caret_.X;
  int indent = 0;
  if (autoIndent) {
    if (LineText(y).empty()) {
      for (int k = y - 1; k >= 0; --k)
        if (LineLength(k) > 0) {
          indent = LineIndent(k);
          break;
        }
    } else {
      indent = std::min(x, LineIndent(y));
    }
  }
  std::string fill = autoIndent ? IndentFill(y, indent) : std::string();
  int before = LineCount();
  SplitLine();
  if (LineCount() == before) return; // nothing could be split
  SetCaretExact(0, y + 1);
  if (!fill.empty()) {
    InsertText(fill);
    SetCaretExact(ExpandedLength(fill), y + 1);
  }
}

void TCustomMemoSource::BackSpace() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::BackSpace);
  if (DeleteSelectionIfOverwriting()) return;
  int y = caret_.Y, x = caret_.X;
  if (x == 0 && y > 0) {
    // Inside an edit the line left behind keeps its blanks: they are joined, not trimmed.
    SetCaretExact(TrimmedLength(y - 1), y - 1);
    // Blanks at the end of the line above would stop the join; they go first.
    int len = LineLength(caret_.Y);
    if (caret_.Y == y - 1 && caret_.X < len) DeleteChars(len - caret_.X);
    JoinLines();
    return;
  }
  if (y >= LineCount() || x > LineLength(y)) {
    MoveCaretLeft();
    return;
  }
  if (Has(soBackUnindents) && x > 0 && x == LineIndent(y)) {
    int ref = 0;
    for (int k = y - 1; k >= 1; --k)
      if (LineLength(k) > 0 && LineIndent(k) < x) {
        ref = k;
        break;
      }
    std::string s = LineText(ref);
    int i = std::min(x, static_cast<int>(s.size())) - 1;
    while (i >= 0 && s[static_cast<size_t>(i)] == ' ') --i;
    while (i >= 0 && s[static_cast<size_t>(i)] != ' ') --i;
    int target = std::max(0, i + 1);
    SetCaretExact(0, y);
    if (LineHasTabs(y)) {
      // Tabs in the indentation: take all of it away and put back blanks up to the target.
      DeleteChars(x);
      if (target > 0) InsertText(std::string(static_cast<size_t>(target), ' '));
    } else {
      DeleteChars(x - target);
    }
    SetCaretExact(target, y);
    return;
  }
  if (x == 0) return; // nothing left of the caret at the start of the text
  MoveCaretLeft();
  DeleteChars(1);
}

void TCustomMemoSource::DeleteChar() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteChar);
  if (DeleteSelectionIfOverwriting()) return;
  if (caret_.X < LineLength(caret_.Y))
    DeleteChars(1);
  else
    JoinLines();
}

int TCustomMemoSource::SmartTabColumn(int c) const {
  for (int k = caret_.Y - 1; k >= 0; --k) {
    // Most lines are passed over by their length alone, without a copy.
    std::string_view stored = StoredLine(k);
    if (static_cast<int>(stored.size()) <= c && LineLength(k) <= c) continue;
    std::string s = LineText(k);
    int n = static_cast<int>(s.size());
    int indent = LineIndent(k);
    if (indent > c) return indent;
    auto delim = [&](int i) {
      return IsDelimiter(static_cast<unsigned char>(s[static_cast<size_t>(i)]));
    };
    int i = c;
    while (i < n && !delim(i)) ++i;
    while (i < n && delim(i)) ++i;
    return i < n ? i : -1;
  }
  return -1;
}

int TCustomMemoSource::TabTarget(int c) const {
  int target = NextTabStop(c);
  if (Has(soSmartTab)) {
    int smart = SmartTabColumn(c);
    if (smart > c) target = smart;
  }
  return target;
}

bool TCustomMemoSource::MultiLineSelection() const {
  return HasSelection() && blockEnd_.Y > blockBegin_.Y;
}

void TCustomMemoSource::TabKey() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Tab);
  int c = HasSelection() ? blockBegin_.X : caret_.X;
  int target = TabTarget(c);
  std::string fill = Has(soUseTabCharacter) ? std::string("\t")
                                            : std::string(static_cast<size_t>(target - c), ' ');
  if (MultiLineSelection()) {
    RewriteBlock(
        TChangeKind::Indent, [&](const std::string& s) { return s.empty() ? s : fill + s; }, true);
    return;
  }
  if (overwrite_) {
    SetCaretX(target);
    return;
  }
  int x = caret_.X;
  int end = InsertAtCaret(fill);
  if (end != x) MoveCaret(0, end - x);
}

void TCustomMemoSource::BackTab() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Tab);
  int c = HasSelection() ? blockBegin_.X : caret_.X;
  if (MultiLineSelection()) {
    int stop = c > 0 ? NextTabStop(c - 1) : NextTabStop(0);
    if (Has(soSmartTab)) {
      int smart = SmartTabColumn(c);
      if (smart >= c) stop = smart;
    }
    int w = stop - c;
    if (w <= 0) w = blockIndent_;
    UnindentBy(w);
    return;
  }
  int prev = 0;
  for (int k = 0; TabStopColumn(k) < c; ++k) prev = TabStopColumn(k);
  SetCaretX(prev);
}

void TCustomMemoSource::SelectAndDelete(int fromX, int fromY, int toX, int toY) {
  // The caller's selection survives: its ends are tracked through the deletion.
  TSelectionType kind = selKind_;
  TempPosition b(*this, BlockBegin()), e(*this, BlockEnd());
  SetBlock(TSelectionType::Stream, {fromX, fromY}, {toX, toY});
  DeleteSelection();
  blockBegin_.X = b.X;
  blockBegin_.Y = b.Y;
  blockEnd_.X = e.X;
  blockEnd_.Y = e.Y;
  selKind_ = kind;
}

void TCustomMemoSource::DeleteWordRight() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteWord);
  TPoint start = Caret(), end = WordRightTarget();
  if (end != start) SelectAndDelete(start.X, start.Y, end.X, end.Y);
}

void TCustomMemoSource::DeleteWordLeft() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteWord);
  TPoint end = Caret(), start = WordLeftTarget();
  if (end != start) SelectAndDelete(start.X, start.Y, end.X, end.Y);
}

void TCustomMemoSource::DeleteToWordEnd() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteWord);
  int y = caret_.Y, x = caret_.X;
  if (x >= TrimmedLength(y)) {
    JoinLines();
    return;
  }
  std::string s = LineText(y);
  int n = static_cast<int>(s.size());
  auto delim = [&](int i) {
    return IsDelimiter(static_cast<unsigned char>(s[static_cast<size_t>(i)]));
  };
  int end = x;
  if (delim(x)) {
    // In delimiters: up to the next word, or, with no word left on the line, to its end.
    while (end < n && delim(end)) ++end;
    DeleteChars(end - x);
    return;
  }
  // On a word: to its end and one following space.
  while (end < n && !delim(end)) ++end;
  if (end < n && s[static_cast<size_t>(end)] == ' ') ++end;
  DeleteChars(end - x);
}

void TCustomMemoSource::DeleteLine() {
  if (readOnly_ || caret_.Y >= LineCount()) return;
  ChangeScope scope(*this, TChangeKind::DeleteLine);
  int y = caret_.Y;
  SetCaretExact(0, y);
  DeleteChars(LineLength(y));
  JoinLines();
}

void TCustomMemoSource::DeleteToLineStart() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteLine);
  int x = caret_.X;
  SetCaretExact(0, caret_.Y);
  DeleteChars(x);
}

void TCustomMemoSource::DeleteToLineEnd() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteLine);
  int len = LineLength(caret_.Y);
  if (caret_.X < len) DeleteChars(len - caret_.X);
}

} // namespace marlo
