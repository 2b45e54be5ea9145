// Caret moves, selections and the four editing primitives with the positions they move.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace marlo::test {
namespace {

TPosition Tracked(int x, int y, TMoveParts parts = mpBoth) {
  TPosition p;
  p.X = x;
  p.Y = y;
  p.OnChange = [parts](const TPosition&) { return parts; };
  return p;
}

TPoint At(const TPosition& p) {
  return {p.X, p.Y};
}

// ---- Caret ---------------------------------------------------------------------------

enum { kLimitEol = 1, kBeyondEnd = 2, kDoc = 4 };

// Each move is one letter: l r u d (arrows), s e (line start, end), t b (text top, bottom),
// w W (word right, left).
void Move(TCustomMemoSource& m, char move) {
  using M = TCustomMemoSource;
  static void (M::*const commands[])() = {
      &M::MoveCaretLeft,  &M::MoveCaretRight,       &M::MoveCaretUp,
      &M::MoveCaretDown,  &M::MoveCaretToLineStart, &M::MoveCaretToLineEnd,
      &M::MoveCaretToTop, &M::MoveCaretToBottom,    &M::WordRight,
      &M::WordLeft};
  size_t i = std::string_view("lrudsetbwW").find(move);
  ASSERT_NE(i, std::string_view::npos) << "no move " << move;
  (m.*commands[i])();
}

TEST(Caret, MovesAndClamping) {
  struct Case {
    Lines text;
    int options;
    TPoint start; // given to SetCaret, then clamped
    const char* moves;
    TPoint expected;
  };
  const Lines two{"abc", "de"}, words{"foo bar.baz  qux", "next"};
  const Case cases[] = {
      {two, 0, {10, 0}, "", {10, 0}},
      {two, 0, {1, 5}, "", {1, 1}},
      {two, 0, {-5, -5}, "", {0, 0}},
      {two, kLimitEol, {10, 0}, "", {3, 0}},
      {two, kLimitEol, {10, 1}, "", {2, 1}},
      {{}, 0, {3, 3}, "", {3, 0}},
      {{}, kLimitEol, {3, 3}, "", {0, 0}},
      // The line end limit stops at line ends; Right wraps, Left never does.
      {two, kLimitEol, {3, 0}, "r", {0, 1}},
      {two, kLimitEol, {2, 1}, "r", {2, 1}},
      {two, kLimitEol, {0, 1}, "l", {0, 1}},
      {two, kLimitEol, {3, 0}, "d", {2, 1}},
      {two, 0, {3, 0}, "rd", {4, 1}},
      // The end of the text, not of the blanks.
      {{"ab  ", "xyz"}, 0, {0, 0}, "e", {2, 0}},
      {{"ab  ", "xyz"}, 0, {0, 0}, "b", {3, 1}},
      {{"ab  ", "xyz"}, 0, {2, 1}, "s", {0, 1}},
      {{"ab  ", "xyz"}, 0, {2, 1}, "t", {0, 0}},
      {{}, 0, {0, 0}, "be", {0, 0}},
      {{"a", "b"}, 0, {0, 1}, "d", {0, 1}},
      {{"a", "b"}, kBeyondEnd, {0, 1}, "ddd", {0, 4}},
      {{"a", "b"}, kBeyondEnd, {0, 4}, "b", {1, 1}},
      {{"a", "b"}, kBeyondEnd | kLimitEol, {5, 5}, "", {0, 5}},
      // Punctuation other than the delimiters belongs to words.
      {words, 0, {0, 0}, "w", {4, 0}},
      {words, 0, {4, 0}, "w", {13, 0}},
      {words, 0, {13, 0}, "w", {16, 0}},
      {words, 0, {16, 0}, "w", {0, 1}},
      {words, 0, {0, 1}, "ww", {4, 1}},
      {words, 0, {16, 0}, "W", {13, 0}},
      {words, 0, {13, 0}, "W", {4, 0}},
      {words, 0, {6, 0}, "W", {4, 0}}, // inside a word: to its start
      {words, 0, {4, 0}, "WW", {0, 0}},
      {words, 0, {0, 1}, "W", {16, 0}},
      // Only blanks left of the caret: to the end of the previous line.
      {{"xy", "   foo bar"}, 0, {3, 1}, "W", {2, 0}},
      {{"xy", "   foo bar"}, 0, {30, 1}, "W", {7, 1}}, // past the end: from the end
      {{"a:b c"}, kDoc, {0, 0}, "w", {2, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.text.empty() ? "" : c.text[0]) << " from " << c.start.X
                                      << "," << c.start.Y << " " << c.moves);
    auto m = (c.options & kDoc) ? DocModel(c.text) : BaseModel(c.text);
    m->SetOption(soLimitEOL, (c.options & kLimitEol) != 0);
    m->SetOption(soBeyondFileEnd, (c.options & kBeyondEnd) != 0);
    m->SetCaret(c.start.X, c.start.Y);
    for (const char* p = c.moves; *p; ++p) Move(*m, *p);
    EXPECT_EQ(m->Caret(), c.expected);
  }
}

// The clamped extremes are run by model_random_test.cpp; without the limits the caret may
// go far, but never wraps round to negative values.
TEST(Caret, ExtremeCoordinatesWithoutLimitsDoNotOverflow) {
  auto m = BaseModel({"abc", "de", "fghij"});
  m->SetOption(soLimitEOL, false);
  m->SetOption(soBeyondFileEnd, true);
  m->SetCaret(INT_MAX, INT_MAX);
  TPoint far = m->Caret();
  EXPECT_GT(far.X, 5);
  EXPECT_GT(far.Y, 2);
  m->MoveCaretRight();
  m->MoveCaretDown();
  m->MoveCaret(INT_MAX, INT_MAX);
  EXPECT_GE(m->CaretX(), far.X);
  EXPECT_GE(m->CaretY(), far.Y);
  m->SetCaret(LLONG_MIN, LLONG_MIN);
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
}

TEST(Caret, LeavingALineTrimsItsTrailingBlanksWithoutAnUndoRecord) {
  auto m = BaseModel({"abc   ", "next", "last  "});
  m->SetCaret(2, 0);
  m->MoveCaretRight(); // staying on the line keeps the blanks
  m->SetCaret(6, 0);
  EXPECT_EQ(m->StoredLine(0), "abc   ");
  EXPECT_FALSE(m->Modified());

  int records = m->UndoList().Count();
  m->MoveCaretDown();
  EXPECT_EQ(m->StoredLine(0), "abc");
  EXPECT_EQ(m->Caret(), (TPoint{6, 1}));
  EXPECT_TRUE(m->Modified());
  ASSERT_EQ(m->UndoList().Count(), records + 1);
  EXPECT_EQ(m->UndoList()[records].Action, uaCaretMove);

  // Undo takes the caret back but not the blanks.
  m->Undo();
  EXPECT_EQ(m->CaretY(), 0);
  EXPECT_EQ(m->StoredLine(0), "abc");

  m->SetCaret(0, 2); // upwards too
  m->MoveCaretToTop();
  EXPECT_EQ(m->StoredLine(2), "last");
}

TEST(Caret, WordAtFindsTheWordAroundAPosition) {
  auto m = BaseModel({"foo  bar: baz", "", "   ", "  lead", ":x"});
  m->SetDelimeters(":");
  auto word = [&](int x, int y, TWordSelectionType mode = wsWordOnly) {
    int from = -1, to = -1;
    if (!m->WordAt(x, y, mode, from, to)) return std::string("<none>");
    return m->LineText(y).substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
  };
  const struct {
    int x, y;
    TWordSelectionType mode;
    const char* word;
  } cases[] = {
      {0, 0, wsWordOnly, "foo"},        {3, 0, wsWordOnly, "foo"},      // just after a word
      {4, 0, wsWordOnly, "foo"},        {5, 0, wsWordOnly, "bar"},      // in the blanks after it
      {9, 0, wsWordOnly, "bar"},        {40, 0, wsWordOnly, "baz"},     // past the line end
      {0, 3, wsWordOnly, "lead"},       {0, 4, wsWordOnly, "x"},        // after a delimiter
      {0, 1, wsWordOnly, "<none>"},     {1, 2, wsWordOnly, "<none>"},   // empty, blank lines
      {0, 9, wsWordOnly, "<none>"},     {0, -1, wsWordOnly, "<none>"},  // outside the text
      {0, 0, wsWordWithSpace, "foo "},  {6, 0, wsWordWithSpace, "bar"}, // a delimiter follows
      {0, 0, wsUntilNextWord, "foo  "}, {6, 0, wsUntilNextWord, "bar: "},
      {11, 0, wsUntilNextWord, "baz"},
  };
  for (const auto& c : cases) EXPECT_EQ(word(c.x, c.y, c.mode), c.word) << c.x << "," << c.y;
  m->SetCaret(6, 0);
  EXPECT_EQ(m->WordAtCaret(), "bar");
  m->SetCaret(0, 1);
  EXPECT_EQ(m->WordAtCaret(), "");
}

// ---- Selection -----------------------------------------------------------------------

TEST(Selection, StreamSelectMoveFollowsTheCaretEnd) {
  auto m = BaseModel({"hello world", "second line"});
  m->SetCaret(2, 0);
  for (int i = 0; i < 3; ++i) m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{2, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{5, 0}));
  EXPECT_EQ(m->Caret(), (TPoint{5, 0}));
  EXPECT_EQ(m->Selection().Text(), "llo");

  // Back past the anchor: begin and end swap.
  for (int i = 0; i < 4; ++i) m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretLeft(); });
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 0}));
  EXPECT_EQ(m->Selection().Text(), "e");

  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretDown(); });
  EXPECT_EQ(m->BlockBegin(), (TPoint{2, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{1, 1}));
  EXPECT_EQ(m->Selection().Count(), 2);
  EXPECT_EQ(m->Selection().Text(), "llo world\r\ns");

  // A plain move drops the selection; with persistent blocks it stays.
  m->MoveCaretRight();
  EXPECT_FALSE(m->HasSelection());
  EXPECT_EQ(m->Selection().Count(), 0);
  m->SetOption(soPersistentBlocks, true);
  Select(*m, TSelectionType::Stream, 0, 0, 5, 0);
  m->MoveCaretDown();
  m->MoveCaretRight();
  EXPECT_TRUE(m->HasSelection());
  EXPECT_EQ(m->Selection().Text(), "hello");
  // With the caret away from both ends, extending starts a new selection at the caret.
  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  EXPECT_EQ(m->BlockBegin(), (TPoint{6, 1}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{7, 1}));
}

TEST(Selection, ColumnSelectMoveFollowsTheCaretCorner) {
  auto m = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  m->SetCaret(1, 0);
  m->SelectMove(TSelectionType::Column, [&] { m->MoveCaretDown(); });
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Column);
  m->SelectMove(TSelectionType::Column, [&] { m->MoveCaretRight(); });
  m->SelectMove(TSelectionType::Column, [&] { m->MoveCaretRight(); });
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{3, 1}));
  ASSERT_EQ(m->Selection().Count(), 2);
  EXPECT_EQ(m->Selection().Get(0), "bcd");
  EXPECT_EQ(m->Selection().Get(1), "hij");
  EXPECT_EQ(m->Selection().Text(), "bcd\r\nhij");

  // The corner crosses the other one: the block is ordered again.
  for (int i = 0; i < 3; ++i) m->SelectMove(TSelectionType::Column, [&] { m->MoveCaretLeft(); });
  EXPECT_EQ(m->Caret(), (TPoint{0, 1}));
  EXPECT_EQ(m->BlockBegin(), (TPoint{0, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{1, 1}));
  EXPECT_EQ(m->Selection().Text(), "ab\r\ngh");
  EXPECT_TRUE(m->IsInSelection(1, 1));
  EXPECT_FALSE(m->IsInSelection(2, 1));
  EXPECT_FALSE(m->IsInSelection(0, 2));

  m->SelectMove(TSelectionType::Column, [&] { m->MoveCaretUp(); });
  EXPECT_EQ(m->Selection().Count(), 1);
  EXPECT_EQ(m->Selection().Text(), "ab");

  // Items of lines shorter than the block are padded to its width.
  auto s = BaseModel({"a", "defg"});
  Select(*s, TSelectionType::Column, 1, 0, 2, 1);
  ASSERT_EQ(s->Selection().Count(), 2);
  EXPECT_EQ(s->Selection().Get(0), "  ");
  EXPECT_EQ(s->Selection().Get(1), "ef");
}

// That a selection always has a kind BlockOption allows is checked by model_random_test.cpp.
TEST(Selection, BlockOptionConvertsAndTheHookChoosesTheKind) {
  auto m = BaseModel({"abc", "def"});
  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  m->SetBlockOption(bkBlockSel); // assigning converts the current selection
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Column);
  m->SetBlockOption(bkNone);
  TPoint caret = m->Caret();
  m->SelectAll();
  EXPECT_EQ(m->Caret(), caret);

  m->SetBlockOption(bkBoth);
  m->OnGetSelectionType = [](TCustomMemoSource&, TSelectionType& kind) {
    if (kind == TSelectionType::Stream) kind = TSelectionType::Column;
  };
  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Column);
}

TEST(Selection, LineWordBlockEndsAndSpans) {
  auto m = BaseModel({"one", "two", "three"});
  m->SetCaret(1, 1);
  m->SelectCaretLine();
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{0, 1}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{0, 2}));
  EXPECT_EQ(m->Selection().Text(), "two\r\n");

  m->SetCaret(2, 2);
  m->SelectWordAtCaret();
  EXPECT_EQ(m->Caret(), (TPoint{5, 2}));
  EXPECT_EQ(m->BlockBegin(), (TPoint{0, 2}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{5, 2}));

  m->SetCaret(1, 0);
  m->SetBlockBegin();
  m->SetCaret(3, 1);
  m->SetBlockEnd();
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{3, 1}));
  EXPECT_EQ(m->Selection().Text(), "ne\r\ntwo");

  // Given in any order, the block is kept in document order.
  m->SelectBlock(TSelectionType::Column, 3, 2, 1, 0);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{3, 2}));
  m->SelectBlock(TSelectionType::Stream, 2, 2, 1, 0);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 2}));

  m->ClearSelection();
  EXPECT_FALSE(m->HasSelection());
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 0}));

  auto s = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  s->SelectBlock(TSelectionType::Stream, 2, 0, 3, 2);
  EXPECT_TRUE(s->IsInSelection(2, 0) && s->IsInSelection(5, 1) && s->IsInSelection(2, 2));
  EXPECT_FALSE(s->IsInSelection(1, 0) || s->IsInSelection(3, 2) || s->IsInSelection(0, 3));
  int from = -1, to = -1;
  ASSERT_TRUE(s->SelectedSpan(0, from, to));
  EXPECT_EQ(from, 2);
  ASSERT_TRUE(s->SelectedSpan(1, from, to));
  EXPECT_EQ(from, 0);
  EXPECT_GE(to, 6);
  ASSERT_TRUE(s->SelectedSpan(2, from, to));
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 3);
  EXPECT_FALSE(s->SelectedSpan(3, from, to));

  s->SelectBlock(TSelectionType::Column, 1, 0, 3, 2);
  EXPECT_TRUE(s->IsInSelection(3, 1) && s->IsInSelection(1, 2));
  EXPECT_FALSE(s->IsInSelection(4, 1) || s->IsInSelection(0, 1));
  ASSERT_TRUE(s->SelectedSpan(1, from, to));
  EXPECT_EQ(from, 1);
  EXPECT_EQ(to, 4);

  // Clearing the selection list deletes the selected text.
  s->Selection().Clear();
  EXPECT_EQ(StoredLines(*s), (Lines{"aef", "gkl", "mqr"}));
  EXPECT_FALSE(s->HasSelection());
}

// ---- Primitives ----------------------------------------------------------------------

TEST(Primitives, InsertTextMovesOnlyWhatFollowsIt) {
  auto m = BaseModel({"abcdef", "ghij"});
  TPosition atCaret = Tracked(2, 0), after = Tracked(4, 0), before = Tracked(1, 0),
            below = Tracked(2, 1), frozen = Tracked(5, 0, mpNone),
            columnOnly = Tracked(5, 0, mpColumn);
  TPosition noCallback;
  noCallback.X = 4;
  for (TPosition* p : {&atCaret, &after, &before, &below, &frozen, &columnOnly, &noCallback})
    m->AddPosition(p);

  m->SetCaret(2, 0);
  EXPECT_TRUE(m->InsertText("XY"));
  EXPECT_EQ(m->StoredLine(0), "abXYcdef");
  EXPECT_EQ(m->Caret(), (TPoint{2, 0}));
  EXPECT_EQ(atCaret.X, 2);
  EXPECT_EQ(after.X, 6);
  EXPECT_EQ(before.X, 1);
  EXPECT_EQ(At(below), (TPoint{2, 1}));
  EXPECT_EQ(frozen.X, 5);
  EXPECT_EQ(columnOnly.X, 7);
  EXPECT_EQ(noCallback.X, 4);
  EXPECT_FALSE(m->InsertText(""));
  for (TPosition* p : {&atCaret, &after, &before, &below, &frozen, &columnOnly, &noCallback})
    m->RemovePosition(p);

  // Text inserted at either end of a selection stays outside it.
  auto s = BaseModel({"abcdef"});
  s->SetOption(soPersistentBlocks, true);
  Select(*s, TSelectionType::Stream, 2, 0, 5, 0);
  s->SetCaret(2, 0);
  s->InsertText("XY");
  EXPECT_EQ(s->BlockBegin(), (TPoint{4, 0}));
  EXPECT_EQ(s->BlockEnd(), (TPoint{7, 0}));
  EXPECT_EQ(s->Selection().Text(), "cde");
  s->SetCaret(7, 0);
  s->InsertText("Z");
  EXPECT_EQ(s->StoredLine(0), "abXYcdeZf");
  EXPECT_EQ(s->Selection().Text(), "cde");

  // A column block stays where it is.
  Select(*s, TSelectionType::Column, 1, 0, 2, 0);
  s->SetCaret(0, 0);
  s->InsertText("Q");
  EXPECT_EQ(s->BlockBegin(), (TPoint{1, 0}));
  EXPECT_EQ(s->BlockEnd(), (TPoint{2, 0}));
}

TEST(Primitives, DeleteCharsMovesFollowingPositionsBackToTheCaretAtMost) {
  auto m = BaseModel({"abcdef", "x"});
  TPosition right = Tracked(5, 0), inside = Tracked(2, 0), atCaret = Tracked(1, 0);
  for (TPosition* p : {&right, &inside, &atCaret}) m->AddPosition(p);
  m->SetCaret(1, 0);
  m->DeleteChars(2);
  EXPECT_EQ(m->StoredLine(0), "adef");
  EXPECT_EQ(m->Caret(), (TPoint{1, 0}));
  EXPECT_EQ(right.X, 3);
  EXPECT_EQ(inside.X, 1);
  EXPECT_EQ(atCaret.X, 1);
  for (TPosition* p : {&right, &inside, &atCaret}) m->RemovePosition(p);

  m->DeleteChars(0);
  m->DeleteChars(-3);
  m->SetCaret(4, 0);
  m->DeleteChars(1); // at the end of the line
  m->SetCaret(9, 0);
  m->DeleteChars(1); // past it
  EXPECT_EQ(StoredLines(*m), (Lines{"adef", "x"}));
  m->SetCaret(1, 0);
  m->DeleteChars(100);
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "x"}));

  // The last character of a one-line text: no lines are left.
  auto one = BaseModel({"x"});
  one->DeleteChars(1);
  EXPECT_EQ(one->LineCount(), 0);
}

TEST(Primitives, StyleBytesFollowTheText) {
  auto m = BaseModel({"abc"});
  m->ColorCache().SetStyles(0, "\x01\x02\x03");
  m->SetCaret(1, 0);
  m->DeleteChars(1);
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01\x03");
  m->SetCaret(2, 0);
  m->InsertText("xy"); // inserted characters take the style of the one before them
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01\x03\x03\x03");
  m->SetCaret(1, 0);
  m->InsertText("Q");
  EXPECT_EQ(m->StoredLine(0), "aQcxy");
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01\x01\x03\x03\x03");
  m->SplitLine();
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01");
  EXPECT_EQ(m->ColorCache().Styles(1), "\x01\x03\x03\x03");
  m->SetCaret(1, 0);
  m->JoinLines();
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01\x01\x03\x03\x03");
}

TEST(Primitives, SplitLineMovesWhatFollowsToTheNewLine) {
  auto m = BaseModel({"abc def", "next"});
  TPosition after = Tracked(5, 0), before = Tracked(2, 0), below = Tracked(1, 1);
  for (TPosition* p : {&after, &before, &below}) m->AddPosition(p);
  m->SetCaret(4, 0);
  m->SplitLine();
  // The first part loses its trailing blank.
  EXPECT_EQ(StoredLines(*m), (Lines{"abc", "def", "next"}));
  EXPECT_EQ(m->CaretY(), 0);
  EXPECT_EQ(At(after), (TPoint{1, 1}));
  EXPECT_EQ(At(before), (TPoint{2, 0}));
  EXPECT_EQ(At(below), (TPoint{1, 2}));
  for (TPosition* p : {&after, &before, &below}) m->RemovePosition(p);

  // One undo step takes back the split and the trimming it recorded.
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"abc def", "next"}));

  auto empty = BaseModel();
  empty->SplitLine();
  EXPECT_EQ(StoredLines(*empty), (Lines{"", ""}));

  auto beyond = BaseModel({"a"});
  beyond->SetOption(soBeyondFileEnd, true);
  beyond->SetCaret(0, 3);
  beyond->SplitLine();
  EXPECT_EQ(StoredLines(*beyond), (Lines{"a"}));
}

TEST(Primitives, JoinLinesNeedsTheCaretAtTheLineEnd) {
  auto m = BaseModel({"ab", "cd", "ef"});
  TPosition nextLine = Tracked(1, 1), later = Tracked(1, 2), sameLine = Tracked(2, 0);
  for (TPosition* p : {&nextLine, &later, &sameLine}) m->AddPosition(p);
  m->Strings().Item(0).LineFlags = 1;
  m->Strings().Item(1).LineFlags = 4;
  m->SetCaret(2, 0);
  m->JoinLines();
  EXPECT_EQ(StoredLines(*m), (Lines{"abcd", "ef"}));
  EXPECT_EQ(m->Strings().Item(0).LineFlags, 5);
  EXPECT_EQ(At(nextLine), (TPoint{3, 0}));
  EXPECT_EQ(At(later), (TPoint{1, 1}));
  EXPECT_EQ(At(sameLine), (TPoint{2, 0}));
  for (TPosition* p : {&nextLine, &later, &sameLine}) m->RemovePosition(p);

  m->SetCaret(1, 0);
  m->JoinLines(); // not at the end
  m->SetCaret(2, 1);
  m->JoinLines(); // the last line
  EXPECT_EQ(StoredLines(*m), (Lines{"abcd", "ef"}));

  // Past the end, the line is padded up to the caret first.
  m->SetCaret(6, 0);
  m->JoinLines();
  EXPECT_EQ(StoredLines(*m), (Lines{"abcd  ef"}));

  auto blank = BaseModel({"", ""});
  blank->JoinLines();
  EXPECT_EQ(blank->LineCount(), 0);
}

// A read-only model refusing every command is checked by fuzz/fuzz_key_sequence.cpp.
TEST(Primitives, ReadOnlyLinesRefuseEdits) {
  auto m = BaseModel({"abc", "def", "ghi"});
  m->SetLineReadOnly(0, true);
  EXPECT_TRUE(m->IsLineReadOnly(0));
  m->SetCaret(1, 0);
  EXPECT_FALSE(m->InsertText("x"));
  m->DeleteChars(1);
  m->SplitLine();
  m->SetCaret(3, 0);
  m->JoinLines();
  m->TypeChar('q');
  EXPECT_EQ(m->Caret(), (TPoint{3, 0}));
  m->SetCaret(0, 1);
  m->BackSpace(); // would join onto the read-only line
  m->SetCaret(3, 1);
  m->SetLineReadOnly(2, true);
  m->DeleteChar(); // would join the read-only line onto this one
  EXPECT_EQ(StoredLines(*m), (Lines{"abc", "def", "ghi"}));
  m->SetCaret(1, 1);
  EXPECT_TRUE(m->InsertText("x"));
  EXPECT_EQ(m->StoredLine(1), "dxef");
}

TEST(Primitives, EditingInsideATabTurnsItIntoBlanks) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  m->SetTabStops("3");
  m->Lines().Assign({"a\tb", "c\td"});
  m->SetCaret(2, 0);
  EXPECT_TRUE(m->InsertText("X"));
  EXPECT_EQ(m->StoredLine(0), "a X b");
  m->SetCaret(2, 1);
  m->DeleteChars(1);
  EXPECT_EQ(m->StoredLine(1), "c d");
  // Undo brings the tab characters back, not just their look.
  for (int i = 0; i < 20 && m->CanUndo(); ++i) m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"a\tb", "c\td"}));
  for (int i = 0; i < 20 && m->CanRedo(); ++i) m->Redo();
  EXPECT_EQ(ShownLines(*m), (Lines{"a X b", "c d"}));
}

TEST(Primitives, CaretStepsOverTabExpansions) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  m->SetTabStops("5");
  m->Lines().Assign({"a\tb"}); // the tab covers columns 1 to 4, b stands at 5
  m->SetOption(soCursorOnTabs, true);
  m->SetCaret(1, 0);
  m->MoveCaretRight();
  EXPECT_EQ(m->CaretX(), 5);
  m->MoveCaretLeft();
  EXPECT_EQ(m->CaretX(), 1);

  m->SetOption(soCursorOnTabs, false);
  m->SetOption(soCursorAlwaysOnTabs, true);
  m->SetCaret(2, 0);
  EXPECT_EQ(m->CaretX(), 1);
  m->SetCaret(4, 0);
  EXPECT_EQ(m->CaretX(), 5);
}

TEST(CaretOptions, TurningTheLineEndLimitOnMovesNothing) {
  auto m = DocModel({"long line here", "ab", "another long line"});
  m->SetOption(soLimitEOL, false);
  Select(*m, TSelectionType::Stream, 10, 0, 10, 1); // through the short line
  m->SetOption(soLimitEOL, true);
  EXPECT_EQ(m->CaretX(), 10);
  EXPECT_EQ(m->CaretY(), 1);
  EXPECT_TRUE(m->HasSelection());
  // The next move is limited again.
  m->SetCaret(12, 1);
  EXPECT_EQ(m->CaretX(), 2);
}

} // namespace
} // namespace marlo::test
