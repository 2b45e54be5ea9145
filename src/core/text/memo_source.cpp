#include "core/text/memo_source.h"

#include "core/error.h"
#include "core/search/line_matcher.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstring>

namespace marlo {

bool TCustomMemoSource::overwrite_ = false;
bool TCustomMemoSource::columnClipboard_ = false;

TCustomMemoSource::TCustomMemoSource() {
  store_.SetListener(&colors_);
  options_ = {soBackUnindents, soGroupUndo,        soForceCutCopy,   soAutoIndent,
              soSmartTab,      soFindTextAtCursor, soOverwriteBlocks};
  SetTabStops("9,17");
  SetDelimeters("");
  // The block follows the text only while it is a stream; a column block keeps its place.
  auto blockMove = [this](const TPosition&) {
    return selKind_ == TSelectionType::Column ? mpNone : mpBoth;
  };
  blockBegin_.OnChange = blockMove;
  blockEnd_.OnChange = blockMove;
  positions_.push_back(&blockBegin_);
  positions_.push_back(&blockEnd_);
}

TCustomMemoSource::~TCustomMemoSource() {
  if (dialogSource_ == this) dialogSource_ = nullptr;
  if (TLineParser* parser = colors_.Parser()) parser->RemoveClient(this);
  store_.SetListener(nullptr); // the cache goes first
}

// ---- Properties ----------------------------------------------------------------------

void TCustomMemoSource::SetOptions(TStringsOptions value) {
  TStringsOptions old = options_;
  if (value.Has(soUseTabCharacter) && !old.Has(soUseTabCharacter))
    value.Exclude(soSmartTab);
  else if (value.Has(soSmartTab) && value.Has(soUseTabCharacter))
    value.Exclude(soUseTabCharacter);
  if (value == old) return;
  ChangeScope scope(*this, TChangeKind::Other);
  options_ = value;
  if (old.Has(soBeyondFileEnd) && !value.Has(soBeyondFileEnd) &&
      caret_.Y > std::max(0, LineCount() - 1)) {
    int last = std::max(0, LineCount() - 1);
    SetCaretExact(TrimmedLength(last), last); // recorded, so that undo replays from here
  }
  if (old.Has(soUseTabCharacter) != value.Has(soUseTabCharacter))
    MarkLinesDirty(0, LineCount() - 1);
}

void TCustomMemoSource::SetTabStops(const std::string& value) {
  if (value.empty() || value == tabStopsText_) return;
  std::vector<int> stops;
  size_t pos = 0;
  while (pos <= value.size()) {
    size_t comma = value.find(',', pos);
    if (comma == std::string::npos) comma = value.size();
    std::string item = value.substr(pos, comma - pos);
    // Blanks around an entry are allowed, anything else that is not a number is not.
    size_t b = item.find_first_not_of(' '), e = item.find_last_not_of(' ');
    if (b == std::string::npos) throw Error("Invalid Tab Rack");
    item = item.substr(b, e - b + 1);
    long long n = 0;
    for (char c : item) {
      if (c < '0' || c > '9' || n > INT_MAX) throw Error("Invalid Tab Rack");
      n = n * 10 + (c - '0');
    }
    if (n < 1 || n > INT_MAX / 2 || (!stops.empty() && n <= stops.back()))
      throw Error("Invalid Tab Rack");
    stops.push_back(static_cast<int>(n));
    pos = comma + 1;
  }
  if (stops.empty()) stops.push_back(8);
  tabStops_ = std::move(stops);
  tabStopsText_ = value;
  if (Has(soUseTabCharacter)) {
    ChangeScope scope(*this, TChangeKind::Other);
    MarkLinesDirty(0, LineCount() - 1);
    ResetColors();
  }
}

void TCustomMemoSource::SetDelimeters(const std::string& value) {
  delimeters_ = value;
  for (int c = 0; c < 256; ++c) delimiters_[c] = c <= 32;
  for (unsigned char c : value) delimiters_[c] = true;
}

void TCustomMemoSource::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  ChangeScope scope(*this, TChangeKind::Other);
  readOnly_ = value;
  changeFlags_.Include(chReadOnly);
}

void TCustomMemoSource::SetBlockOption(TBlockOption value) {
  ChangeScope scope(*this, TChangeKind::Selection);
  blockOption_ = value;
  if (value == bkBlockSel && selKind_ != TSelectionType::None)
    selKind_ = TSelectionType::Column;
  else if (value == bkStreamSel && selKind_ != TSelectionType::None)
    selKind_ = TSelectionType::Stream;
  else if (value == bkNone)
    selKind_ = TSelectionType::None;
  blockSet_ = true;
}

void TCustomMemoSource::SetAllowUndo(bool value) {
  allowUndo_ = value;
  if (!value) ClearUndo();
}

void TCustomMemoSource::SetUndoLimit(int value) {
  undoLimit_ = std::max(0, value);
  TrimUndo();
}

void TCustomMemoSource::SetSyntaxParser(TLineParser* parser) {
  if (parser == colors_.Parser()) return;
  ChangeScope scope(*this, TChangeKind::Other);
  if (TLineParser* old = colors_.Parser()) old->RemoveClient(this);
  colors_.SetParser(parser);
  if (parser) parser->AddClient(this);
  ParserChanged();
}

void TCustomMemoSource::SetHighlightUrls(bool value) {
  if (value == colors_.HighlightUrls()) return;
  ChangeScope scope(*this, TChangeKind::Other);
  colors_.SetHighlightUrls(value);
  ParserChanged();
}

void TCustomMemoSource::ParserChanged() {
  ChangeScope scope(*this, TChangeKind::Other);
  ResetColors();
  MarkLinesDirty(0, LineCount() - 1);
  changeFlags_.Include(chParser);
}

void TCustomMemoSource::ParserFreed() {
  colors_.SetParser(nullptr);
  ParserChanged();
}

void TCustomMemoSource::ResetColors() {
  colors_.Reset();
}

void TCustomMemoSource::RecolorEditedLine(int line) {
  // A moved end state changes how every later line may look.
  if (colors_.RecolorEditedLine(line)) MarkLinesDirty(line, LineCount() - 1);
}

void TCustomMemoSource::SetFileName(const std::string& value) {
  if (value == fileName_) return;
  ChangeScope scope(*this, TChangeKind::Other);
  prevFileName_ = fileName_;
  fileName_ = value;
  changeFlags_.Include(chFileName);
}

// ---- Line information ----------------------------------------------------------------

std::string_view TCustomMemoSource::StoredLine(int i) const {
  return (i >= 0 && i < store_.Count()) ? store_.Text(i) : std::string_view();
}

bool TCustomMemoSource::LineHasTabs(int line) const {
  std::string_view s = StoredLine(line);
  return !s.empty() && std::memchr(s.data(), '\t', s.size()) != nullptr;
}

std::string TCustomMemoSource::LineText(int i) const {
  std::string_view s = StoredLine(i);
  if (s.empty() || std::memchr(s.data(), '\t', s.size()) == nullptr) return std::string(s);
  return ExpandTabs(s);
}

int TCustomMemoSource::LineLength(int i) const {
  return ExpandedLength(StoredLine(i));
}

TStringItem* TCustomMemoSource::GetLineItem(int line) {
  return (line >= 0 && line < store_.Count()) ? &store_.Item(line) : nullptr;
}

bool TCustomMemoSource::IsLineReadOnly(int line) const {
  if (line < 0 || line >= store_.Count()) return false;
  return readOnly_ || store_.Item(line).IsReadOnly();
}

void TCustomMemoSource::SetLineReadOnly(int line, bool value) {
  TStringItem* item = GetLineItem(line);
  if (!item) return;
  ChangeScope scope(*this, TChangeKind::Other);
  if (value)
    item->ItemFlags |= ifReadOnly;
  else
    item->ItemFlags &= static_cast<uint8_t>(~ifReadOnly);
  MarkLinesDirty(line, line);
  changeFlags_.Include(chLineState);
}

void TCustomMemoSource::SetLineState(int line, int state) {
  TStringItem* item = GetLineItem(line);
  if (!item || item->LineState == static_cast<uint8_t>(state)) return;
  ChangeScope scope(*this, TChangeKind::Other);
  item->LineState = static_cast<uint8_t>(state);
  MarkLinesDirty(line, line);
  changeFlags_.Include(chLineState);
}

int TCustomMemoSource::GetLineState(int line) const {
  return (line >= 0 && line < store_.Count()) ? store_.Item(line).LineState : 0;
}

// ---- Tabs ----------------------------------------------------------------------------

int TCustomMemoSource::TabInterval() const {
  size_t n = tabStops_.size();
  if (n == 0) return 8;
  if (n == 1) return tabStops_[0];
  return tabStops_[n - 1] - tabStops_[n - 2];
}

int TCustomMemoSource::TabStopColumn(int index) const {
  int n = static_cast<int>(tabStops_.size());
  if (index < 0) index = 0;
  if (index < n) return tabStops_[static_cast<size_t>(index)];
  long long v = tabStops_.back() + static_cast<long long>(index - (n - 1)) * TabInterval();
  return static_cast<int>(std::min<long long>(v, INT_MAX));
}

int TCustomMemoSource::NextTabStop(int column) const {
  auto it = std::upper_bound(tabStops_.begin(), tabStops_.end(), column);
  if (it != tabStops_.end()) return *it;
  long long last = tabStops_.back(), interval = TabInterval();
  long long v = last + ((column - last) / interval + 1) * interval;
  return static_cast<int>(std::min<long long>(v, INT_MAX));
}

std::string TCustomMemoSource::ExpandTabs(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\t') {
      int col = static_cast<int>(out.size());
      out.append(static_cast<size_t>(NextTabStop(col) - col), ' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

int TCustomMemoSource::ExpandedLength(std::string_view stored) const {
  if (stored.empty() || std::memchr(stored.data(), '\t', stored.size()) == nullptr)
    return static_cast<int>(stored.size());
  return IndexToColumn(stored, static_cast<int>(stored.size()));
}

int TCustomMemoSource::IndexToColumn(std::string_view stored, int index) const {
  long long col = 0;
  for (int i = 0; i < index && i < static_cast<int>(stored.size()); ++i)
    col = stored[static_cast<size_t>(i)] == '\t' ? NextTabStop(static_cast<int>(col)) : col + 1;
  if (index > static_cast<int>(stored.size())) col += index - static_cast<int>(stored.size());
  return static_cast<int>(std::min<long long>(col, INT_MAX));
}

int TCustomMemoSource::ColumnToIndex(int y, int column, int* tabFrom, int* tabTo) const {
  if (tabFrom) *tabFrom = -1;
  std::string_view s = StoredLine(y);
  if (!LineHasTabs(y)) return column;
  int col = 0;
  for (int i = 0; i < static_cast<int>(s.size()); ++i) {
    if (col >= column) return i;
    int next = s[static_cast<size_t>(i)] == '\t' ? NextTabStop(col) : col + 1;
    if (next > column) {
      if (tabFrom && s[static_cast<size_t>(i)] == '\t' && column > col) {
        *tabFrom = col;
        *tabTo = next;
      }
      return i;
    }
    col = next;
  }
  return static_cast<int>(s.size()) + (column - col);
}

std::string TCustomMemoSource::ConvertTabs(std::string_view s) const {
  if (Has(soUseTabCharacter) || s.find('\t') == std::string_view::npos) return std::string(s);
  std::string out;
  for (char c : s) {
    if (c == '\t')
      out.append(static_cast<size_t>(spacesInTab_), ' ');
    else
      out.push_back(c);
  }
  return out;
}

int TCustomMemoSource::LineIndent(int y) const {
  std::string line = LineText(y);
  size_t n = line.find_first_not_of(' ');
  return static_cast<int>(n == std::string::npos ? line.size() : n);
}

int TCustomMemoSource::TrimmedLength(int y) const {
  std::string_view s = StoredLine(y);
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 32) --n;
  return ExpandedLength(s.substr(0, n));
}

// ---- Change bracket ------------------------------------------------------------------

void TCustomMemoSource::BeginChange(TChangeKind kind) {
  if (changeDepth_++ > 0) return;
  startLineCount_ = LineCount();
  startCaret_ = Caret();
  startBegin_ = BlockBegin();
  startEnd_ = BlockEnd();
  startKind_ = selKind_;
  startModified_ = modified_;
  changeFlags_ = {};
  firstChanged_ = INT_MAX;
  lastChanged_ = -INT_MAX;
  changeKind_ = kind;
  colors_.BeginChange();
  firstRecord_ = true;
  blockSet_ = false;
  linesWrite_ = false;
  loaded_ = false;
}

void TCustomMemoSource::EndChange() {
  if (changeDepth_ > 1) {
    --changeDepth_;
    return;
  }
  // Still inside the outermost bracket while the end-of-change rules run, so that
  // anything they do is part of this change.
  if (linesWrite_) EndLinesWrite();
  if (!replaying_ && (Caret() != startCaret_ || changeFlags_.Has(chText))) {
    // Whatever a command did on the way, it ends with the caret where the options allow
    // it; the move is recorded, so that undo replays from the right place. A change of
    // options alone leaves the caret and the selection where they are: only moves are
    // limited.
    int x = caret_.X, y = caret_.Y;
    ClampCaret(x, y);
    if (x != caret_.X || y != caret_.Y) SetCaretExact(x, y);
  }
  OrderBlock(); // edits may have moved the ends of a hidden block past each other
  bool caretMoved = Caret() != startCaret_;
  bool textChanged = changeFlags_.Has(chText);
  if ((caretMoved || textChanged) && !replaying_) redo_.Clear();
  if (!Has(soPersistentBlocks) && caretMoved && !blockSet_ && BlockBegin() == startBegin_ &&
      BlockEnd() == startEnd_ && selKind_ == startKind_)
    selKind_ = TSelectionType::None;
  if (textChanged) modified_ = true;
  // After an undo or redo the document is modified only when it differs from the save.
  if (replaying_ && modified_) modified_ = ModifiedSinceSave();
  if (linesWrite_) ClearUndo();
  if (loaded_) {
    // A load leaves a clean document: not modified, nothing to undo.
    modified_ = false;
    forcedModified_ = false;
    savePoint_ = -1;
    loaded_ = false;
  }
  changeDepth_ = 0;
  if (TLineStoreRecorder* recorder = store_.Recorder()) recorder->ChangeEnded();
  if (textChanged && firstChanged_ <= lastChanged_) colors_.TextChangedFrom(firstChanged_);

  TChangeInfo info;
  info.Flags = changeFlags_;
  if (caretMoved) info.Flags.Include(chCaret);
  if (BlockBegin() != startBegin_ || BlockEnd() != startEnd_ || selKind_ != startKind_)
    info.Flags.Include(chSelection);
  if (LineCount() != startLineCount_) info.Flags.Include(chLineCount);
  if (modified_ != startModified_) info.Flags.Include(chModified);
  info.FirstLine = firstChanged_;
  info.LastLine = lastChanged_;
  if (info.FirstLine > info.LastLine) {
    info.FirstLine = 0;
    info.LastLine = -1;
  }
  if (info.Flags.Empty()) return;
  auto views = views_; // a view may unregister itself while told
  for (TMemoView* v : views) v->SourceChanged(*this, info);
}

void TCustomMemoSource::MarkLinesChanged(int first, int last) {
  // Text changes only inside a change, or the views would never hear of it.
  assert(InChange());
  assert(first >= 0 && first <= std::max(LineCount(), last + 1));
  changeFlags_.Include(chText);
  MarkLinesDirty(first, last);
  RecolorEditedLine(first);
}

void TCustomMemoSource::MarkLinesDirty(int first, int last) {
  if (last < first) return;
  firstChanged_ = std::min(firstChanged_, first);
  lastChanged_ = std::max(lastChanged_, last);
}

void TCustomMemoSource::AddView(TMemoView* view, bool refresh) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
  if (!refresh) return;
  ChangeScope scope(*this, TChangeKind::Other);
  MarkLinesDirty(0, std::max(0, LineCount() - 1));
  changeFlags_ |= TChangeFlags{chCaret,     chText,     chUndo,     chLineState, chOverwrite,
                               chLineCount, chModified, chFileName, chParser};
}

void TCustomMemoSource::RemoveView(TMemoView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void TCustomMemoSource::AddPosition(TPosition* p) {
  positions_.push_back(p);
}

void TCustomMemoSource::RemovePosition(TPosition* p) {
  positions_.erase(std::remove(positions_.begin(), positions_.end(), p), positions_.end());
}

// ---- The model of a document window -------------------------------------------------------

TMemoSource::TMemoSource() = default;

void TMemoSource::ConfigureAsDocument() {
  SetOptions({soBackUnindents, soGroupUndo, soAutoIndent, soFindTextAtCursor, soCreateBackups,
              soOverwriteBlocks, soLimitEOL});
  SetTabStops("3");
  SetSpacesInTab(3);
  SetBlockIndent(3);
  SetDelimeters(":");
  SetReadOnly(false);
  SetTemplatesType("Custom");
  CodeTemplates() = DefaultCodeTemplates();
  SetHighlightUrls(false);
  SetUseGlobalOptions(false);
  // Applying the stored properties ends with a clean, unmodified model at the start.
  SetModified(false);
  SetCaret(0, 0);
  ClearUndo();
}

} // namespace marlo
