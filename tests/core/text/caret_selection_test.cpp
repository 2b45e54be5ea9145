// Caret moves, selections and the four editing primitives with the positions they move.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace marlo::test {
namespace {

using M = TCustomMemoSource;

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

enum { kLimitEol = 1, kBeyondEnd = 2, kDoc = 4, kTabs = 8, kOnTabs = 16, kAlwaysOnTabs = 32 };

// Each move is one letter: l r u d (arrows), s e (line start, end), t b (text top, bottom),
// w W (word right, left).
void Move(M& m, char move) {
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
      {words, 0, {16, 0}, "W", {13, 0}},
      {words, 0, {13, 0}, "W", {4, 0}},
      {words, 0, {6, 0}, "W", {4, 0}}, // inside a word: to its start
      {words, 0, {0, 1}, "W", {16, 0}},
      // Only blanks left of the caret: to the end of the previous line.
      {{"xy", "   foo bar"}, 0, {3, 1}, "W", {2, 0}},
      {{"xy", "   foo bar"}, 0, {30, 1}, "W", {7, 1}}, // past the end: from the end
      {{"a:b c"}, kDoc, {0, 0}, "w", {2, 0}},
      // A stored tab covering columns 1 to 4: the caret steps over it or goes to its nearer end.
      {{"a\tb"}, kTabs | kOnTabs, {1, 0}, "r", {5, 0}},
      {{"a\tb"}, kTabs | kOnTabs, {5, 0}, "l", {1, 0}},
      {{"a\tb"}, kTabs | kAlwaysOnTabs, {2, 0}, "", {1, 0}},
      {{"a\tb"}, kTabs | kAlwaysOnTabs, {4, 0}, "", {5, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.text.empty() ? "" : c.text[0]) << " from " << c.start.X
                                      << "," << c.start.Y << " " << c.moves);
    auto m = (c.options & kDoc) ? DocModel() : BaseModel();
    m->SetOption(soUseTabCharacter, (c.options & kTabs) != 0);
    m->SetTabStops("5");
    SetText(*m, c.text);
    m->SetOption(soCursorOnTabs, (c.options & kOnTabs) != 0);
    m->SetOption(soCursorAlwaysOnTabs, (c.options & kAlwaysOnTabs) != 0);
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
  m->SetOption(soBeyondFileEnd, true);
  m->SetCaret(INT_MAX, INT_MAX);
  TPoint far = m->Caret();
  EXPECT_TRUE(far.X > 5 && far.Y > 2);
  m->MoveCaretRight();
  m->MoveCaretDown();
  m->MoveCaret(INT_MAX, INT_MAX);
  EXPECT_TRUE(m->CaretX() >= far.X && m->CaretY() >= far.Y);
  m->SetCaret(LLONG_MIN, LLONG_MIN);
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
}

TEST(Caret, LeavingALineTrimsItsTrailingBlanksWithoutAnUndoRecord) {
  auto m = BaseModel({"abc   ", "next", "last  "});
  m->SetCaret(2, 0);
  m->MoveCaretRight(); // staying on the line keeps the blanks
  m->SetCaret(6, 0);
  EXPECT_EQ(m->StoredLine(0), "abc   ");
  int records = m->UndoList().Count();
  m->MoveCaretDown();
  EXPECT_EQ(m->StoredLine(0), "abc");
  EXPECT_EQ(m->Caret(), (TPoint{6, 1}));
  EXPECT_TRUE(m->Modified());
  ASSERT_EQ(m->UndoList().Count(), records + 1); // the move's record only
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

// Selecting moves (letters as in MovesAndClamping) from a caret: the selected text and the
// caret afterwards. Column items of lines shorter than the block are padded to its width.
TEST(Selection, SelectMoveFollowsTheCaret) {
  const auto stream = TSelectionType::Stream, column = TSelectionType::Column;
  const std::tuple<TSelectionType, TPoint, const char*, const char*, TPoint> cases[] = {
      {stream, {2, 0}, "rrr", "cde", {5, 0}},
      {stream, {2, 0}, "rrrllll", "b", {1, 0}}, // back past the anchor
      {stream, {2, 0}, "rrrlllld", "cdef\r\ng", {1, 1}},
      {column, {1, 0}, "drr", "bcd\r\nhij", {3, 1}},
      {column, {1, 0}, "drrlll", "ab\r\ngh", {0, 1}}, // the corner crosses the other one
      {column, {1, 0}, "drrlllu", "ab", {0, 0}},
      {column, {1, 2}, "dr", "no\r\n  ", {2, 3}},
  };
  for (const auto& [kind, start, moves, text, caret] : cases) {
    SCOPED_TRACE(moves);
    auto m = BaseModel({"abcdef", "ghijkl", "mnopqr", "x"});
    m->SetCaret(start.X, start.Y);
    for (const char* p = moves; *p; ++p) m->SelectMove(kind, [&] { Move(*m, *p); });
    EXPECT_EQ(m->SelectionKind(), kind);
    EXPECT_EQ(m->Selection().Text(), text);
    EXPECT_EQ(m->Caret(), caret);
  }
}

TEST(Selection, APlainMoveDropsTheSelectionUnlessItPersists) {
  auto m = BaseModel({"hello world", "second line"});
  Select(*m, TSelectionType::Stream, 0, 0, 5, 0);
  m->MoveCaretRight();
  EXPECT_FALSE(m->HasSelection());
  m->SetOption(soPersistentBlocks, true);
  Select(*m, TSelectionType::Stream, 0, 0, 5, 0);
  m->MoveCaretDown();
  m->MoveCaretRight();
  EXPECT_EQ(m->Selection().Text(), "hello");
  // With the caret away from both ends, extending starts a new selection at the caret.
  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  EXPECT_EQ(m->BlockBegin(), (TPoint{6, 1}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{7, 1}));
}

// That a selection always has a kind BlockOption allows is checked by model_random_test.cpp.
TEST(Selection, BlockOptionConvertsAndTheHookChoosesTheKind) {
  auto m = BaseModel({"abc", "def"});
  m->SelectMove(TSelectionType::Stream, [&] { m->MoveCaretRight(); });
  m->SetBlockOption(bkBlockSel); // assigning converts the current selection
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Column);
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
  EXPECT_EQ(m->Selection().Text(), "two\r\n");
  m->SetCaret(2, 2);
  m->SelectWordAtCaret();
  EXPECT_EQ(m->Caret(), (TPoint{5, 2}));
  EXPECT_EQ(m->Selection().Text(), "three");
  m->SetCaret(1, 0);
  m->SetBlockBegin();
  m->SetCaret(3, 1);
  m->SetBlockEnd();
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
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

  // The spans a view paints: {line, from, to}, to -1 for "to the line end or further".
  auto s = BaseModel({"abcdef", "ghijkl", "mnopqr"});
  auto span = [&](int y) {
    int from = -1, to = -1;
    if (!s->SelectedSpan(y, from, to)) return std::pair{-9, -9};
    return std::pair{from, to >= 6 ? -1 : to};
  };
  s->SelectBlock(TSelectionType::Stream, 2, 0, 3, 2);
  EXPECT_TRUE(s->IsInSelection(2, 0) && s->IsInSelection(5, 1) && s->IsInSelection(2, 2));
  EXPECT_FALSE(s->IsInSelection(1, 0) || s->IsInSelection(3, 2) || s->IsInSelection(0, 3));
  EXPECT_EQ(span(0), std::pair(2, -1));
  EXPECT_EQ(span(1), std::pair(0, -1));
  EXPECT_EQ(span(2), std::pair(0, 3));
  EXPECT_EQ(span(3), std::pair(-9, -9));
  s->SelectBlock(TSelectionType::Column, 1, 0, 3, 2);
  EXPECT_TRUE(s->IsInSelection(3, 1) && s->IsInSelection(1, 2));
  EXPECT_FALSE(s->IsInSelection(4, 1) || s->IsInSelection(0, 1));
  EXPECT_EQ(span(1), std::pair(1, 4));

  // Clearing the selection list deletes the selected text.
  s->Selection().Clear();
  EXPECT_EQ(StoredLines(*s), (Lines{"aef", "gkl", "mqr"}));
  EXPECT_FALSE(s->HasSelection());
}

// ---- Primitives ----------------------------------------------------------------------

// One primitive at a caret. Each tracked position, "x,y>x,y" before and after, is tracked
// four times: following both parts, the column only (the column it gets on the line it
// had), the line only, and neither (without a callback), which stays where it was.
struct PrimitiveCase {
  const char* text;
  TPoint caret;
  std::function<void(M&)> edit;
  const char* expected;
  const char* moves = "";
};

std::function<void(M&)> Insert(std::string s) {
  return [s](M& m) { EXPECT_TRUE(m.InsertText(s)); };
}
std::function<void(M&)> Delete(int n) {
  return [n](M& m) { m.DeleteChars(n); };
}

TEST(Primitives, EditsMoveTrackedPositionsWithTheirTextAndUndoInOneStep) {
  const PrimitiveCase cases[] = {
      {"abcdef|ghij", {2, 0}, Insert("XY"), "abXYcdef|ghij", "2,0>2,0 4,0>6,0 1,0>1,0 2,1>2,1"},
      {"abcdef|x", {1, 0}, Delete(2), "adef|x", "5,0>3,0 2,0>1,0 1,0>1,0"},
      {"abcdef|x", {1, 0}, Delete(100), "a|x"},
      {"abcdef|x", {1, 0}, Delete(-3), "abcdef|x"},
      {"abcdef|x", {6, 0}, Delete(1), "abcdef|x"}, // at the end of the line
      {"abcdef|x", {9, 0}, Delete(1), "abcdef|x"}, // past it
      {"x", {0, 0}, Delete(1), ""},                // the last character: no lines are left
      // The first part loses its trailing blank, and one Undo takes back both.
      {"abc def|next", {4, 0}, &M::SplitLine, "abc|def|next", "5,0>1,1 2,0>2,0 1,1>1,2"},
      {"", {0, 0}, &M::SplitLine, "|"},
      {"a", {0, 3}, &M::SplitLine, "a"}, // below the text
      {"ab|cd|ef", {2, 0}, &M::JoinLines, "abcd|ef", "1,1>3,0 1,2>1,1 2,0>2,0"},
      {"ab|cd", {1, 0}, &M::JoinLines, "ab|cd"},  // not at the line end
      {"ab|cd", {2, 1}, &M::JoinLines, "ab|cd"},  // the last line
      {"ab|cd", {4, 0}, &M::JoinLines, "ab  cd"}, // past the end: padded up to the caret
      {"|", {0, 0}, &M::JoinLines, ""},
      // Inside a tab ("3" stops) the tab turns into blanks; Undo brings the tab back.
      {"a\tb", {2, 0}, Insert("X"), "a X b"},
      {"c\td", {2, 0}, Delete(1), "c d"},
  };
  for (const PrimitiveCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " at " << c.caret.X << "," << c.caret.Y);
    auto m = BaseModel();
    m->SetOption(soBeyondFileEnd, true);
    m->SetOption(soUseTabCharacter, true);
    m->SetTabStops("3");
    SetText(*m, LinesOf(c.text));
    std::vector<std::pair<TPoint, TPoint>> moves;
    std::istringstream in(c.moves);
    TPoint a, b;
    char sep;
    while (in >> a.X >> sep >> a.Y >> sep >> b.X >> sep >> b.Y) moves.push_back({a, b});
    std::deque<TPosition> tracked;
    for (auto [from, to] : moves)
      for (TMoveParts parts : {mpBoth, mpColumn, mpLine, mpNone}) {
        tracked.push_back(parts == mpNone ? TPosition{} : Tracked(from.X, from.Y, parts));
        tracked.back().X = from.X;
        tracked.back().Y = from.Y;
        m->AddPosition(&tracked.back());
      }
    m->SetCaret(c.caret.X, c.caret.Y);
    c.edit(*m);
    EXPECT_EQ(StoredLines(*m), LinesOf(c.expected));
    for (size_t i = 0; i < tracked.size(); ++i) {
      auto [from, to] = moves[i / 4];
      const TPoint expected[] = {to, {to.X, from.Y}, {from.X, to.Y}, from};
      EXPECT_EQ(At(tracked[i]), expected[i % 4]) << "position " << i;
    }
    for (TPosition& p : tracked) m->RemovePosition(&p);
    m->Undo();
    EXPECT_EQ(StoredLines(*m), LinesOf(c.text)) << "after one Undo";
  }
  EXPECT_FALSE(BaseModel({"a"})->InsertText(""));
}

TEST(Primitives, InsertedTextStaysOutsideTheSelection) {
  auto s = BaseModel({"abcdef"});
  s->SetOption(soPersistentBlocks, true);
  Select(*s, TSelectionType::Stream, 2, 0, 5, 0);
  s->SetCaret(2, 0);
  s->InsertText("XY");
  EXPECT_EQ(s->BlockBegin(), (TPoint{4, 0}));
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

TEST(Primitives, StyleBytesAndLineFlagsFollowTheText) {
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
  m->Strings().Item(0).LineFlags = 1;
  m->Strings().Item(1).LineFlags = 4;
  m->SetCaret(1, 0);
  m->JoinLines();
  EXPECT_EQ(m->ColorCache().Styles(0), "\x01\x01\x03\x03\x03");
  EXPECT_EQ(m->Strings().Item(0).LineFlags, 5);
}

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
