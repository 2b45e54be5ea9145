// Commands on the selection: deleting, rewriting, the clipboard, inserting lists of
// lines, code templates, moving and copying blocks, brackets and identifiers.
#include "core/text/memo_source.h"

#include "core/platform/guid.h"
#include "core/text/char_case.h"
#include "core/text/clipboard.h"

#include <algorithm>
#include <climits>

namespace marlo {

namespace {

std::string JoinCrLf(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += items[i];
  }
  return out;
}

// Clipboard text as lines: cut at CR LF, CR and LF, ended by a NUL; a final line break
// gives an empty last line.
std::vector<std::string> SplitClipboardText(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  bool pending = false;
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    char c = text[i];
    pending = true;
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      continue;
    }
    current.push_back(c);
  }
  if (pending) lines.push_back(current);
  return lines;
}

} // namespace

std::vector<std::string> TCustomMemoSource::SelectionItems(bool stored) const {
  std::vector<std::string> items;
  if (!HasSelection()) return items;
  TPoint b = BlockBegin(), e = BlockEnd();
  // One item for every line of the block, also for lines below the text.
  items.reserve(static_cast<size_t>(e.Y) - static_cast<size_t>(b.Y) + 1);
  for (int y = b.Y; y <= e.Y; ++y) {
    if (selKind_ == TSelectionType::Column) {
      std::string line = LineText(y);
      size_t width = static_cast<size_t>(e.X - b.X) + 1;
      std::string item = static_cast<size_t>(b.X) < line.size()
                             ? line.substr(static_cast<size_t>(b.X), width)
                             : "";
      item.resize(width, ' ');
      items.push_back(std::move(item));
      continue;
    }
    int from = y == b.Y ? b.X : 0;
    int to = y == e.Y ? e.X : INT_MAX;
    if (stored) {
      std::string_view s = StoredLine(y);
      size_t i = std::min<size_t>(static_cast<size_t>(ColumnToIndex(y, from)), s.size());
      size_t j = to == INT_MAX
                     ? s.size()
                     : std::min<size_t>(static_cast<size_t>(ColumnToIndex(y, to)), s.size());
      items.emplace_back(j > i ? s.substr(i, j - i) : std::string_view());
    } else {
      std::string line = LineText(y);
      size_t i = std::min<size_t>(static_cast<size_t>(from), line.size());
      size_t j = std::min<size_t>(static_cast<size_t>(to), line.size());
      items.push_back(j > i ? line.substr(i, j - i) : std::string());
    }
  }
  return items;
}

void TCustomMemoSource::DeleteSelection() {
  if (!HasSelection() || readOnly_) return;
  ChangeScope scope(*this, TChangeKind::DeleteBlock);
  TPoint b = BlockBegin(), e = BlockEnd();
  TSelectionType kind = selKind_;
  TempPosition caret(*this, Caret());
  selKind_ = TSelectionType::None;
  int last = LineCount() - 1;
  if (kind == TSelectionType::Column) {
    for (int y = b.Y; y <= std::min(e.Y, last); ++y) {
      SetCaretExact(b.X, y);
      DeleteChars(e.X - b.X + 1);
    }
  } else if (b.Y <= last) {
    if (e.Y > last) e = {LineLength(last), last};
    if (b.Y == e.Y) {
      SetCaretExact(b.X, b.Y);
      DeleteChars(e.X - b.X);
    } else {
      SetCaretExact(0, e.Y);
      DeleteChars(e.X);
      // Each line between is emptied and joined with the one below, which takes its place.
      SetCaretExact(0, b.Y + 1);
      for (int k = b.Y + 1; k < e.Y; ++k) {
        DeleteChars(LineLength(b.Y + 1));
        JoinLines();
      }
      SetCaretExact(b.X, b.Y);
      DeleteChars(LineLength(b.Y) - b.X);
      JoinLines();
    }
  }
  selKind_ = TSelectionType::None;
  SetCaretExact(std::max(0, caret.X), std::max(0, caret.Y));
}

bool TCustomMemoSource::ClampBlockToText() {
  // A block left below the text (a column block does not follow deleted lines) has
  // nothing to work on there.
  int last = LineCount() - 1;
  if (blockBegin_.Y > last) return false;
  if (blockEnd_.Y > last) {
    blockEnd_.Y = last;
    if (selKind_ == TSelectionType::Stream) blockEnd_.X = LineLength(last);
  }
  return true;
}

void TCustomMemoSource::RewriteBlock(TChangeKind kind,
                                     const std::function<std::string(const std::string&)>& f,
                                     bool keepCaret) {
  if (!HasSelection() || readOnly_) return;
  ChangeScope scope(*this, kind);
  if (!ClampBlockToText()) return;
  TPoint caret = Caret(), b = BlockBegin();
  bool column = selKind_ == TSelectionType::Column;
  std::vector<std::string> items = SelectionItems(!column);
  for (std::string& item : items) item = f(item);
  DeleteSelection();
  SetCaretExact(b.X, b.Y);
  InsertLines(std::move(items), column);
  if (keepCaret) {
    // The old place may now lie past the end of a shortened line.
    ClampCaret(caret.X, caret.Y);
    SetCaretExact(caret.X, caret.Y);
  }
}

void TCustomMemoSource::IndentBlock() {
  std::string fill(static_cast<size_t>(blockIndent_), ' ');
  RewriteBlock(
      TChangeKind::Indent, [&](const std::string& s) { return s.empty() ? s : fill + s; }, true);
}

void TCustomMemoSource::UnindentBy(int width) {
  // Only leading blanks go: a blank inside the text is part of it.
  RewriteBlock(
      TChangeKind::Unindent,
      [&](const std::string& s) {
        size_t n = 0;
        while (n < s.size() && static_cast<int>(n) < width && (s[n] == ' ' || s[n] == '\t')) ++n;
        return s.substr(n);
      },
      true);
}

void TCustomMemoSource::UnindentBlock() {
  UnindentBy(blockIndent_);
}

void TCustomMemoSource::UpperCaseBlock() {
  RewriteBlock(
      TChangeKind::ChangeCase, [](const std::string& s) { return UpperCaseText(s); }, false);
}

void TCustomMemoSource::LowerCaseBlock() {
  RewriteBlock(
      TChangeKind::ChangeCase, [](const std::string& s) { return LowerCaseText(s); }, false);
}

void TCustomMemoSource::ToggleCaseBlock() {
  RewriteBlock(
      TChangeKind::ChangeCase, [](const std::string& s) { return ToggleCaseText(s); }, false);
}

void TCustomMemoSource::QuoteBlock() {
  RewriteBlock(
      TChangeKind::Quote, [](const std::string& s) { return ">" + s; }, false);
}

void TCustomMemoSource::ChangeCaseWord(bool upper) {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::ChangeCase);
  TPoint caret = Caret();
  SelectWordAtCaret();
  if (!HasSelection()) return;
  if (upper)
    UpperCaseBlock();
  else
    LowerCaseBlock();
  SetCaretExact(caret.X, caret.Y);
}

void TCustomMemoSource::UpperCaseWord() {
  ChangeCaseWord(true);
}
void TCustomMemoSource::LowerCaseWord() {
  ChangeCaseWord(false);
}

// ---- Clipboard -----------------------------------------------------------------------

void TCustomMemoSource::CopyToClipboard() {
  TClipboard& clipboard = TClipboard::Current();
  if (HasSelection()) {
    clipboard.SetText(JoinCrLf(SelectionItems(true)));
    columnClipboard_ = selKind_ == TSelectionType::Column;
  } else if (Has(soForceCutCopy)) {
    clipboard.Clear();
  }
}

void TCustomMemoSource::CutToClipboard() {
  if (!HasSelection() && !Has(soForceCutCopy)) {
    TClipboard::Current().Clear();
    return;
  }
  ChangeScope scope(*this, TChangeKind::Cut);
  CopyToClipboard();
  DeleteSelection();
}

void TCustomMemoSource::PasteFromClipboard() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Paste);
  DeleteSelectionIfOverwriting();
  TClipboard& clipboard = TClipboard::Current();
  if (!clipboard.OwnedByUs()) columnClipboard_ = false;
  std::vector<std::string> lines = SplitClipboardText(clipboard.GetText());
  if (OnPasteFromClipboard) OnPasteFromClipboard(*this, lines);
  InsertLines(std::move(lines), columnClipboard_);
  if (!Has(soPersistentBlocks)) selKind_ = TSelectionType::None;
}

// ---- Inserting lists of lines --------------------------------------------------------------

int TCustomMemoSource::InsertAtCaret(const std::string& s) {
  int y = caret_.Y, x = caret_.X;
  if (!InsertText(s)) return x;
  return LineHasTabs(y)
             ? IndexToColumn(store_.Text(y), ColumnToIndex(y, x) + static_cast<int>(s.size()))
             : x + static_cast<int>(s.size());
}

void TCustomMemoSource::InsertLines(std::vector<std::string> list, bool asColumn) {
  if (list.empty() || readOnly_) return;
  for (std::string& s : list) s = ConvertTabs(s);
  ChangeScope scope(*this, TChangeKind::InsertLines);
  TPoint start = Caret();
  int n = static_cast<int>(list.size());
  if (asColumn) {
    int width = ExpandedLength(list[0]);
    for (int i = 0; i < n; ++i) {
      SetCaretExact(start.X, start.Y + i);
      InsertText(list[static_cast<size_t>(i)]);
    }
    SetBlock(FilterSelectionKind(TSelectionType::Column), start,
             {start.X + std::max(width - 1, 0), start.Y + n - 1});
    int x = start.X, y = start.Y + n;
    ClampCaret(x, y);
    SetCaretExact(x, y);
    return;
  }
  if (n == 1) {
    int end = InsertAtCaret(list[0]);
    SetBlock(FilterSelectionKind(TSelectionType::Stream), start, {end, start.Y});
    SetCaretExact(end, start.Y);
    return;
  }
  AppendLinesToCaret(); // below the text, the lines up to the caret come first
  int before = LineCount();
  SplitLine();
  if (LineCount() == before) return; // the caret line cannot be split
  InsertAtCaret(list[0]);
  for (int i = 1; i < n - 1; ++i) {
    SetCaretExact(0, start.Y + i);
    SplitLine();
    InsertAtCaret(list[static_cast<size_t>(i)]);
  }
  SetCaretExact(0, start.Y + n - 1);
  int end = InsertAtCaret(list.back());
  SetBlock(FilterSelectionKind(TSelectionType::Stream), start, {end, start.Y + n - 1});
  SetCaretExact(end, start.Y + n - 1);
}

// ---- Code templates ------------------------------------------------------------------

std::vector<int> TCustomMemoSource::FindCodeTemplates(std::string_view prefix) const {
  std::vector<int> found;
  std::string p = LowerCaseText(std::string(prefix));
  for (size_t i = 0; i < templates_.size(); ++i) {
    std::string name = LowerCaseText(templates_[i].Name);
    if (name.compare(0, p.size(), p) == 0) found.push_back(static_cast<int>(i));
  }
  return found;
}

void TCustomMemoSource::InsertCodeTemplate(int index) {
  if (index < 0 || index >= static_cast<int>(templates_.size()) || readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Template);
  DeleteSelection();
  std::vector<std::string> lines = templates_[static_cast<size_t>(index)].CodeLines();
  if (lines.empty()) return;
  int x = caret_.X, y = caret_.Y;
  for (size_t i = 1; i < lines.size(); ++i)
    lines[i] = std::string(static_cast<size_t>(x), ' ') + lines[i];
  int barLine = -1, barPos = 0;
  for (size_t i = 0; i < lines.size() && barLine < 0; ++i) {
    size_t p = lines[i].find('|');
    if (p != std::string::npos) {
      lines[i].erase(p, 1);
      barLine = static_cast<int>(i);
      barPos = static_cast<int>(p);
    }
  }
  InsertLines(std::move(lines), false);
  selKind_ = TSelectionType::None;
  if (barLine == 0)
    SetCaretExact(x + barPos, y);
  else if (barLine > 0)
    SetCaretExact(barPos, y + barLine);
}

// ---- Moving and copying the selection ------------------------------------------------------

void TCustomMemoSource::TransferSelectionToCaret(bool move) {
  if (!HasSelection() || readOnly_ || CaretInSelection()) return;
  ChangeScope scope(*this, move ? TChangeKind::MoveBlock : TChangeKind::CopyBlock);
  if (!ClampBlockToText()) return;
  bool column = selKind_ == TSelectionType::Column;
  std::vector<std::string> items = SelectionItems(!column);
  TempPosition target(*this, Caret());
  if (move) DeleteSelection();
  SetCaretExact(target.X, target.Y);
  InsertLines(std::move(items), column);
}

void TCustomMemoSource::MoveSelectionToCaret() {
  TransferSelectionToCaret(true);
}
void TCustomMemoSource::CopySelectionToCaret() {
  TransferSelectionToCaret(false);
}

// ---- Brackets and identifiers ----------------------------------------------------------------

void TCustomMemoSource::GotoMatchingBracket() {
  TPoint at = Caret();
  TPoint b = BlockBegin(), e = BlockEnd();
  if (selKind_ == TSelectionType::Stream && b.Y == e.Y && e.X - b.X == 1) at = b;
  if (at.Y >= LineCount()) return;
  auto styleAt = [this](int y, size_t i) {
    std::string_view colors = colors_.Styles(y);
    return i < colors.size() ? static_cast<unsigned char>(colors[i]) : 0;
  };
  std::string_view line = store_.Text(at.Y);
  size_t idx = static_cast<size_t>(ColumnToIndex(at.Y, at.X));
  if (idx >= line.size()) return;
  static const std::string_view opens = "([{", closes = ")]}";
  char c = line[idx];
  size_t o = opens.find(c), k = closes.find(c);
  if ((o == std::string_view::npos && k == std::string_view::npos) || styleAt(at.Y, idx) == 1 ||
      styleAt(at.Y, idx) == 2)
    return;
  bool forward = o != std::string_view::npos;
  char open = forward ? c : opens[k], close = forward ? closes[o] : c;
  // The starting bracket counts too: an opening one adds one, a closing one takes one away.
  int depth = forward ? 1 : -1;
  int y = at.Y;
  long long i = static_cast<long long>(idx);
  for (;;) {
    i += forward ? 1 : -1;
    std::string_view s = store_.Text(y);
    while (forward ? i >= static_cast<long long>(s.size()) : i < 0) {
      y += forward ? 1 : -1;
      if (y < 0 || y >= LineCount()) return;
      s = store_.Text(y);
      i = forward ? 0 : static_cast<long long>(s.size()) - 1;
    }
    char ch = s[static_cast<size_t>(i)];
    if (ch != open && ch != close) continue;
    unsigned char style = styleAt(y, static_cast<size_t>(i));
    if (style == 1 || style == 2) continue;
    depth += ch == open ? 1 : -1;
    if (depth == 0) {
      ChangeScope scope(*this, TChangeKind::CaretMove);
      SetCaret(IndexToColumn(s, static_cast<int>(i)), y);
      return;
    }
  }
}

void TCustomMemoSource::InsertGuid() {
  if (readOnly_) return;
  ChangeScope scope(*this, TChangeKind::InsertGuid);
  TSelectionType kind = selKind_;
  TPoint b = BlockBegin(), e = BlockEnd();
  InsertLines({"['" + platform::NewGuidString() + "']"}, false);
  blockBegin_.X = b.X;
  blockBegin_.Y = b.Y;
  blockEnd_.X = e.X;
  blockEnd_.Y = e.Y;
  selKind_ = kind;
}

// ---- The selection as a list -------------------------------------------------------------

int TSelectionStrings::Count() const {
  if (!source_.HasSelection()) return 0;
  return source_.BlockEnd().Y - source_.BlockBegin().Y + 1;
}

std::string TSelectionStrings::Get(int k) const {
  if (k < 0 || k >= Count()) return {};
  return source_.SelectionItems(false)[static_cast<size_t>(k)];
}

std::string TSelectionStrings::Text() const {
  return JoinCrLf(source_.SelectionItems(false));
}

void TSelectionStrings::Clear() {
  source_.DeleteSelection();
}

} // namespace marlo
