// Searching and replacing in the text, with the search options every model shares.
#include "core/ascii.h"
#include "core/search/line_matcher.h"
#include "core/search/search_mask.h"
#include "core/search/search_texts.h"
#include "core/text/memo_source.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace marlo {

TCustomMemoSource* TCustomMemoSource::dialogSource_ = nullptr;

namespace {

// Lines polled between by the model itself; the matcher polls inside a long line.
constexpr int kPollLines = 1024;

// Tells OnSearchBusy that a search starts and, however it ends, that it ended; the searches
// of a Replace All run inside its own, which is the one told.
class TBusyScope {
public:
  TBusyScope(TCustomMemoSource& source, int& depth, bool on)
      : source_(source), depth_(depth), on_(on && source.OnSearchBusy) {
    if (on_ && depth_++ == 0) source_.OnSearchBusy(source_, true);
  }
  ~TBusyScope() {
    if (on_ && --depth_ == 0) source_.OnSearchBusy(source_, false);
  }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  TCustomMemoSource& source_;
  int& depth_;
  bool on_;
};

} // namespace

// The lines a search runs over: the whole text, or the selected part of each selected
// line, as the matcher wants them (tab-expanded, trailing blanks removed).
class TCustomMemoSource::TSearchLines {
public:
  TSearchLines(const TCustomMemoSource& source, bool selected) : source_(source) {
    if (!selected) {
      count_ = source.LineCount();
      return;
    }
    first_ = source.BlockBegin().Y;
    count_ = std::max(0, std::min(source.BlockEnd().Y, source.LineCount() - 1) - first_ + 1);
    selected_ = true;
  }

  int Count() const { return count_; }
  int FirstLine() const { return first_; }

  // The column of the document where item k begins.
  int Offset(int k) const {
    if (!selected_) return 0;
    int from = 0, to = 0;
    return source_.SelectedSpan(first_ + k, from, to) ? from : 0;
  }

  std::string_view Get(int k) {
    std::string_view s;
    if (!selected_) {
      s = source_.StoredLine(k);
      if (source_.LineHasTabs(k)) {
        buffer_ = source_.ExpandTabs(s);
        s = buffer_;
      }
    } else {
      buffer_ = const_cast<TCustomMemoSource&>(source_).Selection().Get(k);
      s = buffer_;
    }
    return TrimRight(s);
  }

private:
  const TCustomMemoSource& source_;
  int first_ = 0;
  int count_ = 0;
  bool selected_ = false;
  std::string buffer_;
};

TLineMatcher& TCustomMemoSource::SearchMatcher(const TSearchOptions& o) {
  TMatcherKey key{o.TextToFind, delimeters_, o.CaseSensitive, o.WholeWordsOnly, o.RegularExpr};
  if (matcher_ && key == matcherKey_) return *matcher_;
  matcher_.reset();
  std::bitset<256> delimiters;
  for (int c = 0; c < 256; ++c) delimiters[static_cast<size_t>(c)] = delimiters_[c];
  try {
    matcher_ = std::make_unique<TLineMatcher>(key.Text, key.Case, key.Words, key.Regex, delimiters);
  } catch (const TSearchMaskError& e) {
    throw Error(FormatSearchText(SharedSearchTexts().InvalidMask, e.Pattern, e.Position));
  }
  matcherKey_ = std::move(key);
  return *matcher_;
}

void TCustomMemoSource::ReportSearch(const std::string& text, bool raise) {
  bool handled = false;
  if (OnSearchException) OnSearchException(*this, text, handled);
  if (handled) return;
  if (raise) throw Error(text);
  if (OnSearchMessage) OnSearchMessage(*this, text);
}

void TCustomMemoSource::PlaceSearchCaret(TPoint at) {
  SetCaret(at.X, at.Y);
  searchFrom_ = at;
  searchCaret_ = Caret();
}

bool TCustomMemoSource::CaretAtSelection() const {
  int from = 0, to = 0;
  return SelectedSpan(caret_.Y, from, to) && caret_.X >= from && caret_.X <= to;
}

bool TCustomMemoSource::PollDue() {
  if (++pollCount_ < kPollLines) return false;
  pollCount_ = 0;
  return true;
}

bool TCustomMemoSource::PollSearch() {
  return OnSearchPoll && OnSearchPoll(*this);
}

bool TCustomMemoSource::SearchNext() {
  TSearchOptions& o = SharedSearchOptions();
  bool selected = o.Scope == TSearchScope::ssSelectedText;
  if (selected && !HasSelection()) {
    if (o.FirstSearch) ReportSearch(SharedSearchTexts().BlockInvalid, true);
    return false;
  }
  if (o.WholeWordsOnly && !o.RegularExpr &&
      std::any_of(o.TextToFind.begin(), o.TextToFind.end(),
                  [this](char c) { return IsDelimiter(static_cast<unsigned char>(c)); }))
    o.WholeWordsOnly = false;

  TLineMatcher& matcher = SearchMatcher(o); // an invalid pattern: nothing has moved
  ChangeScope scope(*this, TChangeKind::Search);
  TSearchLines lines(*this, selected);
  bool forward = o.Direction == TSearchDirection::sdForward;
  bool first = o.FirstSearch;
  // Where the search starts: an item of the lines and a 1-based column of it.
  int k, column;
  if (first && o.Origin == TSearchOrigin::soEntireScope) {
    k = forward ? 0 : lines.Count() - 1;
    column = forward ? 1 : INT_MAX;
  } else {
    if (selected && first && !CaretAtSelection()) {
      ReportSearch(SharedSearchTexts().CursorOutsideBlock, true);
      return false;
    }
    // Where the last search or replacement meant the caret to stand, while the caret is
    // still where the options then put it (out of a tab, say): otherwise the next search
    // could find the same place again, and a Replace All would never end.
    const TPoint from = Caret() == searchCaret_ ? searchFrom_ : Caret();
    k = from.Y - lines.FirstLine();
    int x = k >= 0 && k < lines.Count() ? from.X - lines.Offset(k) : 0;
    if (forward) {
      column = std::max(1, x + 1);
      if (k < 0) k = 0, column = 1;
    } else {
      column = x;
      if (k >= lines.Count()) k = lines.Count() - 1, column = INT_MAX;
    }
  }
  o.FirstSearch = false;

  TBusyScope busy(*this, searchBusy_, true);

  THit hit{};
  bool found = false, stopped = false, atStart = true;
  try {
    matcher.OnCancelPoll = [this] { return PollSearch(); };
    int step = forward ? 1 : -1;
    for (; k >= 0 && k < lines.Count(); k += step) {
      if (PollDue() && PollSearch()) {
        stopped = true;
        break;
      }
      std::string_view line = lines.Get(k);
      // Only the search's own start point refuses an empty match there.
      if (matcher.Find(line, column, forward, first || !forward || !atStart, hit)) {
        found = true;
        break;
      }
      column = forward ? 1 : INT_MAX;
      atStart = false;
    }
  } catch (const TSearchCancelled&) {
    stopped = true;
  }
  matcher.OnCancelPoll = nullptr;
  if (found) {
    int y = lines.FirstLine() + k;
    int x = hit.Pos - 1 + lines.Offset(k);
    SetFoundText({x, y}, {x + hit.Len, y});
    if (Has(soSelectFoundText)) SelectBlock(TSelectionType::Stream, x, y, x + hit.Len, y);
    PlaceSearchCaret({forward ? x + hit.Len : x, y});
    if (Has(soSelectFoundText)) blockSet_ = true;
    return true;
  }
  if (o.ShowNotFound && !stopped)
    ReportSearch(FormatSearchText(SharedSearchTexts().NotFound, o.TextToFind), false);
  return false;
}

bool TCustomMemoSource::FindText() {
  TSearchOptions& o = SharedSearchOptions();
  o.FirstSearch = true;
  o.ShowNotFound = true;
  o.InReplace = false;
  return SearchNext();
}

bool TCustomMemoSource::ReplaceText() {
  if (readOnly_) return false;
  TSearchOptions& o = SharedSearchOptions();
  o.FirstSearch = true;
  o.InReplace = true;
  o.ShowNotFound = true;
  return ReplaceNext();
}

bool TCustomMemoSource::FindAgain() {
  TSearchOptions& o = SharedSearchOptions();
  o.ShowNotFound = true;
  if (!HasSelection()) o.Scope = TSearchScope::ssGlobal;
  if (o.FirstSearch) return false;
  return o.InReplace ? ReplaceNext() : SearchNext();
}

bool TCustomMemoSource::ReplaceNext() {
  if (readOnly_) return false;
  TSearchOptions& o = SharedSearchOptions();
  if (o.ReplaceAll) return ReplaceAllLoop();
  bool found = ReplaceOnce();
  o.ShowNotFound = false;
  if (o.ReplaceAll) ReplaceAllLoop();
  return found;
}

bool TCustomMemoSource::ReplaceOnce() {
  TSearchOptions& o = SharedSearchOptions();
  // The search and its replacement are one change, one step of undo; with a question the
  // search ends first, so that the views show the match while the user decides.
  std::optional<ChangeScope> scope;
  if (!o.PromptOnReplace) scope.emplace(*this, TChangeKind::Replace);
  if (!SearchNext()) return false;
  if (o.PromptOnReplace) {
    TReplaceAnswer answer = TReplaceAnswer::Yes;
    if (OnReplacePrompt)
      answer = OnReplacePrompt(*this,
                               FormatSearchText(SharedSearchTexts().ReplaceQuestion, o.TextToFind));
    if (answer == TReplaceAnswer::Cancel) return false;
    if (answer == TReplaceAnswer::No) return true;
    if (answer == TReplaceAnswer::All) {
      o.PromptOnReplace = false;
      o.ReplaceAll = true;
    }
    scope.emplace(*this, TChangeKind::Replace);
  }
  const TPoint begin = foundBegin_, end = foundEnd_;
  const bool forward = o.Direction == TSearchDirection::sdForward;
  if (IsLineReadOnly(begin.Y)) {
    // Found but left as it is: the search goes on past it.
    PlaceSearchCaret(forward ? end : begin);
    return true;
  }
  SetCaret(begin.X, begin.Y);
  DeleteChars(end.X - begin.X);
  int after = begin.X;
  if (!o.ReplaceWith.empty() && InsertText(o.ReplaceWith) && forward) {
    // Past the inserted text by its own columns: a tab after it may have given up as many
    // as it takes, so the line's length says nothing.
    int index = ColumnToIndex(begin.Y, begin.X) + static_cast<int>(o.ReplaceWith.size());
    after = IndexToColumn(StoredLine(begin.Y), index);
  }
  PlaceSearchCaret({after, begin.Y});
  ++replaceCount_;
  return true;
}

bool TCustomMemoSource::ReplaceAllLoop() {
  TSearchOptions& o = SharedSearchOptions();
  bool prompting = o.PromptOnReplace;
  // Without questions every search and replacement is one change: one Undo takes all back.
  std::optional<ChangeScope> scope;
  if (!prompting) scope.emplace(*this, TChangeKind::ReplaceAll);
  TBusyScope busy(*this, searchBusy_, !prompting);
  bool found = false;
  while (ReplaceOnce()) {
    found = true;
    o.ShowNotFound = false;
    if (PollDue() && PollSearch()) break;
  }
  if (!prompting) ClearFoundText();
  return found;
}

} // namespace marlo
