// Replacing the whole text as a reload does: the lines cut as a load cuts them, the caret
// and bookmarks kept on their line numbers, and one Undo that brings back the exact old
// lines. Undo and redo of it among other commands are run by model_random_test.cpp.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

TPoint BookmarkAt(const TCustomMemoSource& m, int n) {
  TPoint p{-1, -1};
  m.GetBookmark(n, p);
  return p;
}

TEST(ReplaceAllText, CutsAsALoadAndUndoesInOneStep) {
  struct Case {
    const char* Old; // lines, '|' between them
    std::string New; // bytes
    const char* Expected;
  };
  const Case cases[] = {
      {"a|b", "x\r\ny\rz\nw", "x|y|z|w"},
      {"a", "trailing  \t\r\nnext", "trailing|next"},
      {"a", std::string("up to\0 the nul", 14), "up to"},
      {"a", "\tx", "   x"}, // tabs as the document's 3 spaces
      {"", "one", "one"},
      {"a|b|c", "", ""},
      {"  kept  |\tx\x01", "new", "new"}, // old lines come back byte for byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Old);
    auto m = DocModel();
    m->Lines().Assign(LinesOf(c.Old)); // as typed: trailing blanks and tabs stay
    m->SetModified(false);
    const Lines old = StoredLines(*m);
    m->ReplaceAllText(c.New);
    EXPECT_EQ(StoredLines(*m), LinesOf(c.Expected));
    auto loaded = DocModel();
    loaded->LoadFromBytes(c.New);
    EXPECT_EQ(StoredLines(*m), StoredLines(*loaded));
    EXPECT_TRUE(m->Modified());

    m->Undo();
    EXPECT_EQ(StoredLines(*m), old);
    EXPECT_FALSE(m->CanUndo());
    m->Redo();
    EXPECT_EQ(StoredLines(*m), LinesOf(c.Expected));
  }
}

TEST(ReplaceAllText, KeepsCaretAndBookmarksOnTheirLinesClamped) {
  auto m = DocModel({"first line", "second line", "third line", "fourth line"});
  m->SetCaret(2, 1);
  m->SetBookmark(1);
  m->SetCaret(8, 3);
  m->SetBookmark(2);
  m->SelectAll();
  const TPoint before = m->Caret();
  ASSERT_EQ(before.Y, 3);
  m->ReplaceAllText("FIRST\r\nSECOND LINE, LONGER\r\nend");
  EXPECT_EQ(m->Caret(), (TPoint{3, 2})); // line 3 is gone: the last line, its end
  EXPECT_EQ(BookmarkAt(*m, 1), (TPoint{2, 1}));
  EXPECT_EQ(BookmarkAt(*m, 2), (TPoint{3, 2}));
  EXPECT_FALSE(m->HasSelection());

  m->Undo();
  EXPECT_EQ(m->Caret(), before);
  EXPECT_EQ(StoredLines(*m), (Lines{"first line", "second line", "third line", "fourth line"}));
}

TEST(ReplaceAllText, TakenAsSavedThenUndoneIsModifiedAndEachReloadIsAStep) {
  auto m = DocModel({"mine"});
  m->TypeChar('x'); // typing, then two reloads: three steps back
  for (const char* disk : {"disk 1", "disk 2"}) {
    m->ReplaceAllText(disk);
    m->SetModified(false);
  }
  EXPECT_FALSE(m->Modified());
  m->Undo();
  EXPECT_EQ(StoredLines(*m), Lines{"disk 1"});
  EXPECT_TRUE(m->Modified());
  m->Undo();
  EXPECT_EQ(StoredLines(*m), Lines{"xmine"});
  m->Redo();
  m->Redo();
  EXPECT_EQ(StoredLines(*m), Lines{"disk 2"});
}

TEST(ReplaceAllText, UnreadableFileChangesNothing) {
  TempDir d;
  auto m = DocModel({"kept"});
  EXPECT_THROW(m->ReloadFromFile(d / "missing.zba"), Error);
  EXPECT_EQ(StoredLines(*m), Lines{"kept"});
  EXPECT_FALSE(m->CanUndo());
  EXPECT_FALSE(m->Modified());

  WriteFile(d / "there.zba", "from\r\ndisk\r\n");
  m->ReloadFromFile(d / "there.zba");
  EXPECT_EQ(StoredLines(*m), (Lines{"from", "disk"}));
}

} // namespace
} // namespace marlo::test
