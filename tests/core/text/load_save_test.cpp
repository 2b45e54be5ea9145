// Loading text into the line store, the public line list, the selection list, and saving.
// How bytes split into lines, that a stream is read from where it stands, and that a save
// loads back to the same lines in every line end format, is checked by
// fuzz/fuzz_load_stream.cpp; big loads by bulk_load_test.cpp.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo::test {
namespace {

TEST(Load, DropsBookmarksAndMovesTrackedPlacesToTheStart) {
  auto m = BaseModel({"one", "two", "three"});
  m->SetCaret(2, 1);
  m->SetBookmark(4);
  TPosition tracked;
  tracked.X = tracked.Y = 2;
  tracked.OnChange = [](const TPosition&) { return mpBoth; };
  m->AddPosition(&tracked);
  m->LoadFromBytes("new\r\ntext\r\n");
  EXPECT_EQ(m->Bookmarks().Count(), 0);
  EXPECT_EQ((TPoint{tracked.X, tracked.Y}), (TPoint{0, 0}));
  m->RemovePosition(&tracked);
}

TEST(LinesList, WritesKeepTrailingBlanksConvertTabsAndIgnoreBadIndexes) {
  auto m = BaseModel();
  m->SetSpacesInTab(3);
  EXPECT_EQ(m->Lines().Add("x\ty   "), 0);
  m->Lines().Add("b\t ");
  m->Lines().Put(2, "nope");
  m->Lines().Insert(3, "nope");
  m->Lines().Exchange(0, 1);
  EXPECT_EQ(StoredLines(*m), (Lines{"x   y   ", "b    "}));
  m->Lines().Insert(2, "end"); // Insert(Count) appends
  m->Lines().Insert(0, "top");
  m->Lines().Delete(1);
  EXPECT_EQ(StoredLines(*m), (Lines{"top", "b    ", "end"}));
  // Reads outside the text are empty.
  EXPECT_EQ(m->Lines().Get(-1) + m->Lines().Get(3) + m->LineText(5), "");
  EXPECT_EQ(m->LineLength(9), 0);
  EXPECT_EQ(m->GetLineItem(3), nullptr);

  // Writing the whole text is a bulk load: blanks at line ends go; Assign keeps them.
  m->Lines().SetText("p  \r\nq\t");
  EXPECT_EQ(StoredLines(*m), (Lines{"p", "q"}));
  m->Lines().Assign({"r  ", "\ts"});
  EXPECT_EQ(StoredLines(*m), (Lines{"r  ", "   s"}));
}

TEST(LinesList, WritesCannotBeUndoneAndMarkTheTextModified) {
  const Lines two{"a1", "a2"};
  for (auto write : std::vector<std::function<void(TExternalStrings&)>>{
           [](TExternalStrings& l) { l.Put(0, "p"); },
           [](TExternalStrings& l) { l.Delete(0); },
           [&](TExternalStrings& l) { l.Assign(two); },
           [](TExternalStrings& l) { l.BeginUpdate(), l.Add("u1"), l.Put(0, "u0"), l.EndUpdate(); },
           [](TExternalStrings& l) { l.Clear(); },
       }) {
    auto m = BaseModel({"base"});
    m->SetCaret(4, 0);
    m->TypeChar('!');
    m->TypeChar('?');
    m->Undo(); // a redo step as well
    m->SetModified(false);
    write(m->Lines());
    EXPECT_FALSE(m->CanUndo() || m->CanRedo());
    EXPECT_TRUE(m->Modified());
  }
}

TEST(LinesList, WritesKeepCaretAndSelectionOnTheirText) {
  auto m = BaseModel({"l0", "l1", "l2", "l3"});
  m->SetCaret(1, 2);
  m->Lines().Delete(0);
  EXPECT_EQ(m->Caret(), (TPoint{1, 1}));
  // Inserting at the caret's line puts the new line above the caret's text.
  m->Lines().Insert(1, "x");
  m->Lines().Put(0, "changed");
  EXPECT_EQ(m->Caret(), (TPoint{1, 2}));
  EXPECT_EQ(m->StoredLine(2), "l2");

  Select(*m, TSelectionType::Stream, 1, 1, 2, 3);
  std::string selected = m->Selection().Text();
  m->Lines().Insert(0, "top");
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 2}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 4}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 4}));
  EXPECT_EQ(m->Selection().Text(), selected);

  // Clear drops the selection and the bookmarks.
  m->SetBookmark(2);
  m->Lines().Clear();
  EXPECT_FALSE(m->HasSelection());
  EXPECT_EQ(m->Bookmarks().Count(), 0);
}

// The plain line ends of every format are checked by fuzz/fuzz_load_stream.cpp.
TEST(Save, ReadOnlyLinesAreLeftOutOnRequestAndEveryWrittenLineEndsInABreak) {
  auto m = BaseModel({"a", "b", "c"});
  m->SetLineReadOnly(1, true);
  m->SetOption(soExcludeReadOnlyLines, true);
  EXPECT_EQ(m->SaveToBytes(), "a\r\nc\r\n");
  m->SetOutFormat(ofUnix);
  EXPECT_EQ(m->SaveToBytes(), "a\nc\n");
  m->SetOption(soExcludeReadOnlyLines, false);
  EXPECT_EQ(m->SaveToBytes(), "a\nb\nc\n");
}

} // namespace
} // namespace marlo::test
