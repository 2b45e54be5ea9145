// Numbered bookmarks: the line queries the gutter asks, toggling, jumping, and following
// the text as it is edited. That numbers stay unique, 1 to 255 and in order is checked
// after every step of model_random_test.cpp.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace marlo::test {
namespace {

TPoint BookmarkPos(const TCustomMemoSource& m, int n) {
  TPoint p{-7, -7};
  EXPECT_TRUE(m.GetBookmark(n, p) || p == (TPoint{-1, -1})) << "a missing one reads (-1, -1)";
  return p;
}

Lines TenLines() {
  Lines l;
  for (int i = 0; i < 10; ++i) l.push_back("line " + std::to_string(i) + " text");
  return l;
}

TEST(Bookmarks, LineQueriesFollowListOrder) {
  auto m = BaseModel(TenLines());
  // Number at (column, line), set in this order.
  for (auto [n, x, y] : {std::tuple{2, 7, 4}, {5, 1, 4}, {1, 1, 6}, {9, 1, 2}}) {
    m->SetCaret(x, y);
    m->SetBookmark(n);
  }
  EXPECT_EQ(m->BookmarkAtLine(4), 5); // the smallest column first
  EXPECT_EQ(m->BookmarkAtLine(99), 0);
  EXPECT_EQ(m->BookmarkInRange(4, 2, 8), 2);
  EXPECT_EQ(m->BookmarkInRange(4, 0, 1), 0);
  EXPECT_EQ(m->BookmarkInRange(4, 1, 2), 5);
  EXPECT_EQ(m->BookmarkInRange(4, 2, 7), 0); // the end is not in the range

  std::vector<TBookmark> list;
  m->BookmarksOfLine(4, 5, 100, list); // from column 5 on
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Number, 2);
}

TEST(Bookmarks, ToggleAndGoto) {
  auto m = BaseModel(TenLines());
  m->SetCaret(3, 2);
  m->ToggleBookmark(4);
  EXPECT_EQ(BookmarkPos(*m, 4), (TPoint{3, 2}));
  m->SetCaret(0, 2);
  m->ToggleBookmark(4); // same line, other column: removed
  EXPECT_EQ(BookmarkPos(*m, 4), (TPoint{-1, -1}));
  m->ToggleBookmark(4);
  m->SetCaret(5, 7);
  m->ToggleBookmark(4); // another line: moved to the caret
  m->SetCaret(1, 1);
  m->GotoBookmark(4);
  EXPECT_EQ(m->Caret(), (TPoint{5, 7}));

  // A jump is clamped like any caret move.
  m->SetOption(soLimitEOL, true);
  m->SetCaret(12, 8);
  m->SetBookmark(6);
  m->Lines().Put(8, "ab");
  m->SetCaret(0, 0);
  m->GotoBookmark(6);
  EXPECT_EQ(m->Caret(), (TPoint{2, 8}));
  m->Lines().Delete(9);
  m->Lines().Delete(8);
  m->SetCaret(0, 0);
  m->GotoBookmark(6);
  EXPECT_EQ(m->CaretY(), 7);
}

// Bookmarks set at given places, one edit at a caret, and where each stands afterwards.
using M = TCustomMemoSource;
using Marks = std::vector<TPoint>; // bookmark n + 1 at marks[n]; after: X -1 for any column

struct EditCase {
  const char* name;
  Lines text;
  Marks marks;
  TPoint caret;
  std::function<void(M&)> edit;
  Lines expected;
  Marks after;
};
EditCase E(const char* name, Lines text, Marks marks, TPoint caret, std::function<void(M&)> edit,
           Lines expected, Marks after) {
  return {name, text, marks, caret, edit, expected, after};
}

TEST(Bookmarks, EditsCarryThemWithTheirText) {
  const Lines digits{"0123456789"}, six{"abcdef", "ghi", "jkl"};
  const EditCase cases[] = {
      E("typing left of it", digits, {{5, 0}}, {2, 0},
        [](M& m) { m.TypeChar('a'), m.TypeChar('b'); }, {"01ab23456789"}, {{7, 0}}),
      E("typing right of it", digits, {{5, 0}}, {6, 0}, [](M& m) { m.TypeChar('z'); },
        {"012345z6789"}, {{5, 0}}),
      E("inserting exactly at it", digits, {{5, 0}}, {5, 0}, [](M& m) { m.InsertText("Q"); },
        {"01234Q56789"}, {{6, 0}}),
      // After a deleted range they move back; inside it they go to its start.
      E("deleting a range", digits, {{7, 0}, {4, 0}, {3, 0}}, {3, 0},
        [](M& m) { m.DeleteChars(3); }, {"0126789"}, {{4, 0}, {4, 0}, {3, 0}}),
      // Enter: those at or right of the caret go to the new line, those below down.
      E("enter", six, {{1, 0}, {4, 0}, {3, 0}, {2, 2}}, {3, 0}, &M::InsertNewLine,
        {"abc", "def", "ghi", "jkl"}, {{1, 0}, {1, 1}, {0, 1}, {2, 3}}),
      E("enter at a line start", six, {{1, 0}, {0, 1}, {2, 2}}, {0, 1}, &M::InsertNewLine,
        {"abcdef", "", "ghi", "jkl"}, {{1, 0}, {0, 2}, {2, 3}}),
      // A split past the line end moves only those at or right of the caret.
      E("split past the line end", {"abc", "x"}, {{5, 0}, {9, 0}}, {8, 0}, &M::SplitLine,
        {"abc", "", "x"}, {{5, 0}, {1, 1}}),
      E("backspace joins onto the line above", {"abc", "def", "ghi"}, {{1, 1}, {0, 1}, {2, 2}},
        {0, 1}, &M::BackSpace, {"abcdef", "ghi"}, {{4, 0}, {3, 0}, {2, 1}}),
      E("deleting a line", {"a", "b", "c"}, {{0, 2}}, {0, 0}, &M::DeleteLine, {"b", "c"}, {{0, 1}}),
      E("deleting a selection", {"abcdef", "ghijkl", "mnopqr", "stu"}, {{3, 1}, {5, 2}, {1, 3}},
        {0, 0}, [](M& m) { Select(m, TSelectionType::Stream, 2, 0, 4, 2), m.DeleteSelection(); },
        {"abqr", "stu"}, {{-1, 0}, {3, 0}, {1, 1}}),
      // Writes through the line list are not edits: bookmarks stay where they were.
      E("line list writes", {"a", "b", "c"}, {{0, 1}}, {0, 0},
        [](M& m) { m.Lines().Insert(0, "new"), m.Lines().Delete(2); }, {"new", "a", "c"}, {{0, 1}}),
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = BaseModel(c.text);
    for (size_t i = 0; i < c.marks.size(); ++i) {
      m->SetCaret(c.marks[i].X, c.marks[i].Y);
      m->SetBookmark(static_cast<int>(i) + 1);
    }
    m->SetCaret(c.caret.X, c.caret.Y);
    c.edit(*m);
    EXPECT_EQ(StoredLines(*m), c.expected);
    for (size_t i = 0; i < c.after.size(); ++i) {
      TPoint p = BookmarkPos(*m, static_cast<int>(i) + 1);
      if (c.after[i].X < 0) p.X = -1; // inside a deleted range: only the line is promised
      EXPECT_EQ(p, c.after[i]) << "bookmark " << i + 1;
    }
  }
}

} // namespace
} // namespace marlo::test
