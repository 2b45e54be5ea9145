// The selection as a list of strings when its block reaches below the text, and a split
// past the end of a line.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace marlo::test {
namespace {

// A column block does not follow deleted lines, so it can be left below the text. Its
// items are still one per line of the block, blanks as wide as the block.
TEST(SelectionStrings, ColumnBlockBelowTheTextListsBlankItems) {
  auto m = BaseModel({"ab", "cd"});
  m->SelectBlock(TSelectionType::Column, 0, 5, 1, 6);
  ASSERT_EQ(m->Selection().Count(), 2);
  EXPECT_EQ(m->Selection().Text(), "  \r\n  ");
}

// Ctrl+Y on the only line, with a column block on it and the caret at column 0, leaves
// the block below the now empty text; reading its item (as Ctrl+J does for a one-line
// selection) must not crash.
TEST(SelectionStrings, ItemOfABlockLeftBelowTheTextCanBeRead) {
  auto m = DocModel({"abc"});
  Select(*m, TSelectionType::Column, 1, 0, 0, 0);
  m->DeleteLine();
  ASSERT_EQ(m->LineCount(), 0);
  ASSERT_EQ(m->Selection().Count(), 1);
  EXPECT_EXIT(
      {
        std::string item = m->Selection().Get(0);
        std::exit(item == "  " ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A split at column c moves only the bookmarks at or after c; one standing past the line
// end but left of the caret stays on its line.
TEST(Bookmarks, SplitPastTheLineEndLeavesBookmarksLeftOfTheCaret) {
  auto m = BaseModel({"abc", "x"});
  m->SetCaret(5, 0);
  m->SetBookmark(1);
  m->SetCaret(8, 0);
  m->SplitLine();
  TPoint p;
  ASSERT_TRUE(m->GetBookmark(1, p));
  EXPECT_EQ(p, (TPoint{5, 0}));
}

} // namespace
} // namespace marlo::test
