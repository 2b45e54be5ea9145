#pragma once
// The text model of a document: lines, caret, selection, undo and redo, bookmarks and
// the editing commands. Every change runs inside one change bracket and is reported to
// the registered views once, when the outermost bracket ends.
#include "core/search/search_options.h"
#include "core/text/bookmark_list.h"
#include "core/text/code_template.h"
#include "core/text/color_cache.h"
#include "core/text/external_strings.h"
#include "core/text/internal_strings.h"
#include "core/text/line_parser.h"
#include "core/text/memo_view.h"
#include "core/text/position.h"
#include "core/text/selection_strings.h"
#include "core/text/text_types.h"
#include "core/text/undo_list.h"

#include <bitset>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlo {

class TLineMatcher;
class UndoGroup;

// The answers to "replace this occurrence?".
enum class TReplaceAnswer { Yes, No, Cancel, All };

class TCustomMemoSource : public TLineParserClient {
public:
  // How far the caret may stand past the end of a line, or below the text, where the
  // options allow it at all.
  static constexpr int kMaxVirtualSpace = 65536;

  TCustomMemoSource();
  ~TCustomMemoSource() override;
  TCustomMemoSource(const TCustomMemoSource&) = delete;
  TCustomMemoSource& operator=(const TCustomMemoSource&) = delete;

  // ---- Properties ------------------------------------------------------------------
  TStringsOptions Options() const { return options_; }
  void SetOptions(TStringsOptions value);
  bool Has(TStringsOption o) const { return options_.Has(o); }
  void SetOption(TStringsOption o, bool on) { SetOptions(TStringsOptions(options_).Set(o, on)); }

  const std::string& TabStops() const { return tabStopsText_; }
  void SetTabStops(const std::string& value); // raises "Invalid Tab Rack"
  int SpacesInTab() const { return spacesInTab_; }
  void SetSpacesInTab(int value) { spacesInTab_ = (value < 1 || value > 10) ? 8 : value; }
  int BlockIndent() const { return blockIndent_; }
  void SetBlockIndent(int value) { blockIndent_ = value < 0 ? 0 : value; }
  const std::string& Delimeters() const { return delimeters_; }
  void SetDelimeters(const std::string& value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TBlockOption BlockOption() const { return blockOption_; }
  void SetBlockOption(TBlockOption value);
  TOutFormatType OutFormat() const { return outFormat_; }
  void SetOutFormat(TOutFormatType value) { outFormat_ = value; }
  bool AllowUndo() const { return allowUndo_; }
  void SetAllowUndo(bool value);
  int UndoLimit() const { return undoLimit_; }
  void SetUndoLimit(int value);
  TLineParser* SyntaxParser() const { return colors_.Parser(); }
  void SetSyntaxParser(TLineParser* parser);
  bool HighlightUrls() const { return colors_.HighlightUrls(); }
  void SetHighlightUrls(bool value);
  bool UseGlobalOptions() const { return useGlobalOptions_; }
  void SetUseGlobalOptions(bool value) { useGlobalOptions_ = value; }
  std::vector<TMemoCodeTemplate>& CodeTemplates() { return templates_; }
  const std::vector<TMemoCodeTemplate>& CodeTemplates() const { return templates_; }
  const std::string& TemplatesType() const { return templatesType_; }
  void SetTemplatesType(const std::string& value) { templatesType_ = value; }

  // ---- Events ----------------------------------------------------------------------
  std::function<void(const std::string& target, std::string& backup)> OnGetBackupName;
  std::function<void(TCustomMemoSource&, TSelectionType&)> OnGetSelectionType;
  std::function<void(TCustomMemoSource&, std::vector<std::string>&)> OnPasteFromClipboard;
  // The editor control's caret-move hook: may change the line and column differences.
  std::function<void(TCustomMemoSource&, int& dLine, int& dCol)> OnCaretMoveHook;
  // The editor control's new-line column hook (overwrite-mode Enter).
  std::function<void(TCustomMemoSource&, int& column)> OnNewLineColumnHook;

  // ---- Search and replace ----------------------------------------------------------
  // With the shared search options. A search error (searching a selection that is not
  // there) goes to OnSearchException first and is raised unless the handler takes it; the
  // not-found report goes there too, then to OnSearchMessage.
  std::function<void(TCustomMemoSource&, const std::string& text, bool& handled)> OnSearchException;
  std::function<void(TCustomMemoSource&, const std::string& text)> OnSearchMessage;
  // Asked before each replacement while Prompt on replace is on; Yes without it.
  std::function<TReplaceAnswer(TCustomMemoSource&, const std::string& question)> OnReplacePrompt;
  // Told when a long search or Replace All starts (true) and ends (false).
  std::function<void(TCustomMemoSource&, bool busy)> OnSearchBusy;
  // Asked now and then while a search runs, inside a long line too; true stops it (a
  // stopped Replace All keeps what it replaced).
  std::function<bool(TCustomMemoSource&)> OnSearchPoll;
  // The find dialog's search: the first after a dialog, reporting a failure.
  // Each says whether something was found.
  bool FindText();
  // The replace dialog's replacement.
  bool ReplaceText();
  // F3: repeats the last find or replacement.
  bool FindAgain();
  bool SearchNext();
  bool ReplaceNext();
  // Replacements made so far.
  int ReplaceCount() const { return replaceCount_; }
  // Whether the caret is inside the selection or at one of its ends.
  bool CaretAtSelection() const;
  // The model a dialog is working on: cleared when that model goes, so that a dialog that
  // outlives its document leaves it alone.
  static TCustomMemoSource* DialogSource() { return dialogSource_; }
  void SetAsDialogSource() { dialogSource_ = this; }

  // ---- Lines -----------------------------------------------------------------------
  TExternalStrings& Lines() { return lines_; }
  TSelectionStrings& Selection() { return selectionStrings_; }
  TInternalStrings& Strings() { return store_; }
  const TInternalStrings& Strings() const { return store_; }
  // Told of every change of the lines with their bytes, and of the end of each change;
  // not owned, null for none.
  void SetEditRecorder(TLineStoreRecorder* recorder) { store_.SetRecorder(recorder); }
  int LineCount() const { return store_.Count(); }
  // The stored text of line i (tabs unexpanded); empty outside the text.
  std::string_view StoredLine(int i) const;
  // Line i with its tabs expanded; empty outside the text.
  std::string LineText(int i) const;
  // Length of line i's tab-expanded text.
  int LineLength(int i) const;
  TStringItem* GetLineItem(int line);
  bool IsLineReadOnly(int line) const;
  void SetLineReadOnly(int line, bool value);
  void SetLineState(int line, int state);
  int GetLineState(int line) const;

  int TabStopColumn(int index) const;
  int TabInterval() const;
  // The first tab stop strictly right of `column`.
  int NextTabStop(int column) const;
  std::string ExpandTabs(std::string_view text) const;

  // ---- Files -----------------------------------------------------------------------
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(std::istream& stream);
  void LoadFromBytes(std::string_view bytes);
  void SaveToFile(const std::string& fileName);
  // Replaces every line by the lines of `bytes`, cut as a load cuts a file, as one change
  // that one Undo takes back whole. The caret and the bookmarks keep their line numbers,
  // clamped to the new text; the selection goes. The text counts as changed: the caller
  // says when it is the saved one.
  void ReplaceAllText(std::string_view bytes);
  // The same with the bytes of a file; one that cannot be read raises Error and changes
  // nothing.
  void ReloadFromFile(const std::string& fileName);
  void SaveToStream(std::ostream& stream) const;
  std::string SaveToBytes() const;
  const std::string& FileName() const { return fileName_; }
  const std::string& PrevFileName() const { return prevFileName_; }
  void SetFileName(const std::string& value);
  // The backup name a save of `target` proposes.
  static std::string BackupName(const std::string& target);

  // ---- Change bracket and views ----------------------------------------------------
  void BeginChange(TChangeKind kind);
  void EndChange();
  bool InChange() const { return changeDepth_ > 0; }
  void AddView(TMemoView* view, bool refresh);
  void RemoveView(TMemoView* view);
  // Marks lines whose text changed in the current change.
  void MarkLinesChanged(int first, int last);
  // Marks lines for repainting (line state, bookmarks, colours) without a text change.
  void MarkLinesDirty(int first, int last);
  // A line's text changed: it is scanned again at once when it lies in the coloured part.
  void RecolorEditedLine(int line);
  void AddPosition(TPosition* p);
  void RemovePosition(TPosition* p);

  // ---- Caret -----------------------------------------------------------------------
  int CaretX() const { return caret_.X; }
  int CaretY() const { return caret_.Y; }
  TPoint Caret() const { return {caret_.X, caret_.Y}; }
  void SetCaret(long long x, long long y, bool force = false);
  void SetCaretX(long long x) { SetCaret(x, caret_.Y); }
  void SetCaretY(long long y) { SetCaret(caret_.X, y); }
  void MoveCaret(int dLine, int dCol, bool force = false);
  void MoveCaretUp() { MoveCaret(-1, 0); }
  void MoveCaretDown() { MoveCaret(1, 0); }
  void MoveCaretLeft();
  void MoveCaretRight();
  void MoveCaretToLineStart();
  void MoveCaretToLineEnd();
  void MoveCaretToTop();
  void MoveCaretToBottom();
  void WordLeft();
  void WordRight();
  // Where WordLeft and WordRight would put the caret.
  TPoint WordLeftTarget() const;
  TPoint WordRightTarget() const;
  // Runs `move` while extending a selection of `kind`.
  void SelectMove(TSelectionType kind, const std::function<void()>& move);

  // ---- Selection -------------------------------------------------------------------
  TSelectionType SelectionKind() const { return selKind_; }
  TPoint BlockBegin() const { return {blockBegin_.X, blockBegin_.Y}; }
  TPoint BlockEnd() const { return {blockEnd_.X, blockEnd_.Y}; }
  bool HasSelection() const { return selKind_ != TSelectionType::None; }
  void SetSelectionKind(TSelectionType kind);
  void SetBlockBegin();
  void SetBlockEnd();
  void SelectBlock(TSelectionType kind, int beginX, int beginY, int endX, int endY);
  void SelectAll();
  void SelectWordAtCaret();
  void SelectCaretLine();
  void ClearSelection();
  bool IsInSelection(int x, int y) const;
  // The columns [from, to) of line y that the selection covers; false when none.
  bool SelectedSpan(int y, int& from, int& to) const;
  bool IsDelimiter(unsigned char c) const { return delimiters_[c]; }
  // The word around (x, y): its first column and its end column; false when none.
  bool WordAt(int x, int y, TWordSelectionType mode, int& from, int& to) const;
  std::string WordAtCaret() const;

  // ---- Found text ------------------------------------------------------------------
  // The last match of a search, which the views paint in the match colours.
  bool HasFoundText() const { return foundSet_; }
  TPoint FoundBegin() const { return foundBegin_; }
  TPoint FoundEnd() const { return foundEnd_; }
  void SetFoundText(TPoint begin, TPoint end);
  void ClearFoundText();
  // The columns [from, to) of line y inside the found text; false when none.
  bool FoundSpan(int y, int& from, int& to) const;

  // ---- Editing primitives ----------------------------------------------------------
  bool InsertText(std::string_view s);
  void DeleteChars(int n);
  void SplitLine();
  void JoinLines();
  // Adds an empty line after the last one, recorded so that undo takes it back; the caret
  // and the selection stay where they are.
  void AppendEmptyLine();

  // ---- Insert and overwrite mode (shared by every model) ---------------------------
  static bool Overwrite() { return overwrite_; }
  void SetOverwrite(bool value);
  void ToggleOverwrite() { SetOverwrite(!overwrite_); }

  // ---- Undo and redo ---------------------------------------------------------------
  void Undo();
  void Redo();
  bool CanUndo() const { return !undo_.Empty() && !readOnly_; }
  bool CanRedo() const { return !redo_.Empty() && !readOnly_; }
  void ClearUndo();
  void BeginUndoGroup();
  void EndUndoGroup();
  bool Modified() const { return modified_; }
  void SetModified(bool value);
  const TUndoList& UndoList() const { return undo_; }
  const TUndoList& RedoList() const { return redo_; }
  int SavePoint() const { return savePoint_; }

  // ---- Bookmarks -------------------------------------------------------------------
  void SetBookmark(int n);
  void ClearBookmark(int n);
  void ToggleBookmark(int n);
  void GotoBookmark(int n);
  bool GetBookmark(int n, TPoint& point) const;
  int BookmarkAtLine(int line) const;
  int BookmarkInRange(int line, int fromX, int toX) const;
  void BookmarksOfLine(int line, int fromX, int toX, std::vector<TBookmark>& list) const;
  const TMemoBookMarkList& Bookmarks() const { return bookmarks_; }

  // ---- Editing commands ------------------------------------------------------------
  void TypeChar(char c);
  void InsertNewLine();
  void BackSpace();
  void DeleteChar();
  void TabKey();
  void BackTab();
  void DeleteLine();
  void DeleteToLineStart();
  void DeleteToLineEnd();
  void DeleteWordRight();
  void DeleteWordLeft();
  void DeleteToWordEnd();
  void IndentBlock();
  void UnindentBlock();
  void UpperCaseBlock();
  void LowerCaseBlock();
  void ToggleCaseBlock();
  void UpperCaseWord();
  void LowerCaseWord();
  void QuoteBlock();
  void DeleteSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void InsertLines(std::vector<std::string> list, bool asColumn);
  void InsertCodeTemplate(int index);
  // Templates whose name starts with `prefix`, compared without regard to case.
  std::vector<int> FindCodeTemplates(std::string_view prefix) const;
  void MoveSelectionToCaret();
  void CopySelectionToCaret();
  void GotoMatchingBracket();
  void InsertGuid();
  // Whether the last copy of this program came from a column selection.
  static bool ClipboardIsColumn() { return columnClipboard_; }

  // ---- Parser client ---------------------------------------------------------------
  void ParserChanged() override;
  void ParserFreed() override;
  // Throws away every line's colours.
  void ResetColors();

  // ---- Colouring cache ---------------------------------------------------------------
  // Colours the lines first..last that are not coloured or whose start state moved, and
  // returns RecolorFrom: one past the last line whose end state changed in this update.
  int ColorLines(int first, int last, bool force) { return colors_.ColorLines(first, last, force); }
  // Colours from FirstUncolored up to `line`, running 100 lines ahead of it.
  int EnsureLineColored(int line, bool force) { return colors_.EnsureLineColored(line, force); }
  int FirstUncolored() const { return colors_.FirstUncolored(); }
  int RecolorFrom() const { return colors_.RecolorFrom(); }
  bool IsLineColored(int line) const { return colors_.IsLineColored(line); }
  // The style string of a line, colouring it first when needed; valid until the cache is
  // used again.
  std::string_view LineColors(int line) { return colors_.LineColors(line); }
  TColorCache& ColorCache() { return colors_; }
  const TColorCache& ColorCache() const { return colors_; }

private:
  friend class TExternalStrings;
  friend class TSelectionStrings;

  // A tracked position that lives for one scope.
  class TempPosition : public TPosition {
  public:
    TempPosition(TCustomMemoSource& source, TPoint at) : source_(source) {
      X = at.X;
      Y = at.Y;
      OnChange = [](const TPosition&) { return mpBoth; };
      source_.AddPosition(this);
    }
    ~TempPosition() { source_.RemovePosition(this); }
    TempPosition(const TempPosition&) = delete;
    TempPosition& operator=(const TempPosition&) = delete;

  private:
    TCustomMemoSource& source_;
  };

  // Lines writes
  void LinesPut(int i, std::string_view s);
  void LinesInsert(int i, std::string_view s);
  void LinesDelete(int i);
  void LinesClear();
  void LinesAssign(const std::vector<std::string>& list);
  void BeginLinesWrite();
  void EndLinesWrite();
  void BulkLoad(platform::ByteBlock bytes, size_t size, bool load,
                const TInternalStrings::THalfReader& read = {});
  void SetTextBulk(std::string_view bytes);
  void ReplaceLines(platform::ByteBlock bytes, size_t size);
  // Every line in the form of an uaText record, and back.
  void TakeLinesInto(TUndoRecord& r) const;
  void PutLinesBack(const TUndoRecord& r);
  // After every line was replaced: positions and bookmarks kept on their lines, clamped.
  void ClampToReplacedLines(int oldCount);
  // Hands the saved bytes to `put` piece by piece.
  template <class TSink> void WriteLines(TSink&& put) const;
  void WriteLinesTo(std::ostream& stream) const;
  std::string ConvertTabs(std::string_view s) const;

  // Columns and tabs
  bool LineHasTabs(int line) const;
  // Stored index of `column` on line y; sets tabFrom/tabTo to the expansion of a tab
  // that `column` falls strictly inside (tabFrom < column < tabTo), else tabFrom = -1.
  int ColumnToIndex(int y, int column, int* tabFrom = nullptr, int* tabTo = nullptr) const;
  int IndexToColumn(std::string_view stored, int index) const;
  int ExpandedLength(std::string_view stored) const;
  void ConvertTabAtCaret(int tabFrom, int tabTo);
  void OpenTabAtCaret(std::optional<UndoGroup>& group);
  int LineIndent(int y) const;
  int TrimmedLength(int y) const;

  // Caret internals
  void ClampCaret(int& x, int& y) const;
  void TrimTrailingBlanks(int y);
  void SetCaretExact(int x, int y); // a recorded move without clamping or trimming
  TSelectionType FilterSelectionKind(TSelectionType kind);
  void SetBlock(TSelectionType kind, TPoint a, TPoint b);
  void OrderBlock();
  bool CaretInSelection() const;

  // Primitive helpers
  void MovePositionsInsert(int line, int col, int width);
  void MovePositionsDelete(int line, int col, int width);
  void MovePositionsSplit(int line, int col);
  void MovePositionsJoin(int line, int col);
  TUndoRecord* AddUndo(TUndoAction action);
  void PushCaretRecord(int dLine, int dCol);
  char StyleBefore(int y, int index);
  void PadLine(int y, int len, int x);
  void AppendLinesToCaret();
  void RemoveLoneEmptyLine();
  // Splits line y at column x; bookmarks and positions follow column adjustX.
  void SplitAt(int y, int x, int adjustX);
  bool IsAfter(const TPosition* p, int column) const;

  // Undo internals
  void ReplayRecords(bool redo);
  void ApplyRecord(const TUndoRecord& r);
  void ApplyCorrection(const TUndoRecord& r);
  void PushCorrection(TUndoList& list, TChangeKind kind, int dLine, int dCol);
  void TrimUndo();
  bool ModifiedSinceSave() const;
  int LastTextRecord() const;
  TUndoList& RecordingList() { return recordToRedo_ ? redo_ : undo_; }

  // Search internals
  class TSearchLines;
  TLineMatcher& SearchMatcher(const TSearchOptions& options);
  // Tells OnSearchException of `text`; unless it is handled, raises it as an error, or
  // with `raise` false shows it through OnSearchMessage.
  void ReportSearch(const std::string& text, bool raise);
  // Every so many lines searched or replacements made, OnSearchPoll is asked.
  bool PollDue();
  bool PollSearch();
  bool ReplaceOnce();
  // Puts the caret where the next search goes on from, remembering that place.
  void PlaceSearchCaret(TPoint at);
  bool ReplaceAllLoop();

  // Commands internals
  bool DeleteSelectionIfOverwriting();
  std::vector<std::string> SelectionItems(bool stored) const;
  void RewriteBlock(TChangeKind kind, const std::function<std::string(const std::string&)>& f,
                    bool keepCaret);
  void UnindentBy(int width);
  std::string IndentFill(int y, int indent) const;
  int TabTarget(int c) const;
  bool MultiLineSelection() const;
  bool ClampBlockToText();
  // Inserts at the caret; returns the column after the inserted text.
  int InsertAtCaret(const std::string& s);
  void SelectAndDelete(int fromX, int fromY, int toX, int toY);
  int SmartTabColumn(int c) const;
  void TransferSelectionToCaret(bool move);
  void ChangeCaseWord(bool upper);

  TInternalStrings store_;
  TColorCache colors_{store_};
  TExternalStrings lines_{*this};
  TSelectionStrings selectionStrings_{*this};

  TStringsOptions options_;
  std::string tabStopsText_;
  std::vector<int> tabStops_;
  int spacesInTab_ = 8;
  int blockIndent_ = 1;
  std::string delimeters_;
  bool delimiters_[256] = {};
  bool readOnly_ = false;
  TBlockOption blockOption_ = bkBoth;
  TOutFormatType outFormat_ = ofWindows;
  bool allowUndo_ = true;
  int undoLimit_ = 0;
  bool useGlobalOptions_ = false;
  std::vector<TMemoCodeTemplate> templates_;
  std::string templatesType_ = "None";

  std::string fileName_;
  std::string prevFileName_;

  TPosition caret_;
  TPosition blockBegin_;
  TPosition blockEnd_;
  TSelectionType selKind_ = TSelectionType::None;
  std::vector<TPosition*> positions_;
  bool foundSet_ = false;
  TPoint foundBegin_, foundEnd_;

  TUndoList undo_;
  TUndoList redo_;
  bool replaying_ = false;    // an undo or redo is replaying records
  bool recordToRedo_ = false; // records go to the redo list (while undoing)
  int groupDepth_ = 0;
  bool firstRecord_ = false;
  bool modified_ = false;
  bool forcedModified_ = false;
  int savePoint_ = -1;

  TMemoBookMarkList bookmarks_;
  std::vector<TMemoView*> views_;

  // Change bracket state
  int changeDepth_ = 0;
  TChangeKind changeKind_ = TChangeKind::None;
  TChangeFlags changeFlags_;
  int firstChanged_ = 0;
  int lastChanged_ = -1;
  int startLineCount_ = 0;
  TPoint startCaret_, startBegin_, startEnd_;
  TSelectionType startKind_ = TSelectionType::None;
  bool startModified_ = false;
  bool blockSet_ = false;   // the change set the block on purpose: it survives caret moves
  bool linesWrite_ = false; // the change writes through Lines
  bool loaded_ = false;     // the change is a load
  std::unique_ptr<TempPosition> trackCaret_, trackBegin_, trackEnd_;
  TSelectionType trackKind_ = TSelectionType::None;
  bool caretToOrigin_ = false; // a bulk load ends with the caret at the start

  // The compiled search and what it was compiled from.
  struct TMatcherKey {
    std::string Text, Delimiters;
    bool Case = false, Words = false, Regex = false;
    bool operator==(const TMatcherKey&) const = default;
  };
  std::unique_ptr<TLineMatcher> matcher_;
  TMatcherKey matcherKey_;
  int searchBusy_ = 0; // searches in progress, a Replace All's own among them
  int replaceCount_ = 0;
  int pollCount_ = 0;
  // Where the last search or replacement left off, and where the caret then stood.
  TPoint searchFrom_{-1, -1}, searchCaret_{-1, -1};

  static bool overwrite_;
  static bool columnClipboard_;
  static TCustomMemoSource* dialogSource_;
};

// The model as document windows create it.
class TMemoSource : public TCustomMemoSource {
public:
  TMemoSource();
  // Sets the options, tabs and templates a document window uses.
  void ConfigureAsDocument();
};

// Runs the rest of a scope as one change of the model, ended also when an error leaves
// the scope, so that the views hear of it once, when the outermost change ends.
class ChangeScope {
public:
  ChangeScope(TCustomMemoSource& source, TChangeKind kind) : source_(source) {
    source_.BeginChange(kind);
  }
  ~ChangeScope() { source_.EndChange(); }
  ChangeScope(const ChangeScope&) = delete;
  ChangeScope& operator=(const ChangeScope&) = delete;

private:
  TCustomMemoSource& source_;
};

// Makes the records of the rest of a scope one step of undo, ended also when an error
// leaves the scope: a group left open would swallow every later edit into one step.
class UndoGroup {
public:
  explicit UndoGroup(TCustomMemoSource& source) : source_(&source) { source_->BeginUndoGroup(); }
  ~UndoGroup() { End(); }
  UndoGroup(const UndoGroup&) = delete;
  UndoGroup& operator=(const UndoGroup&) = delete;
  // Ends the group before the scope does.
  void End() {
    if (source_) std::exchange(source_, nullptr)->EndUndoGroup();
  }

private:
  TCustomMemoSource* source_;
};

} // namespace marlo
