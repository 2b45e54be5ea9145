// Loading text into the line store, the public line list, the selection list, and saving.
// How bytes split into lines, and that a save loads back to the same lines in every line
// end format, is checked by fuzz/fuzz_load_stream.cpp; big loads by bulk_load_test.cpp.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace marlo::test {
namespace {

TEST(Load, DropsBookmarksAndMovesTrackedPlacesToTheStart) {
  auto m = BaseModel({"one", "two", "three"});
  m->SetCaret(2, 1);
  m->SetBookmark(4);
  TPosition tracked;
  tracked.X = 2;
  tracked.Y = 2;
  tracked.OnChange = [](const TPosition&) { return mpBoth; };
  m->AddPosition(&tracked);
  m->LoadFromBytes("new\r\ntext\r\n");
  EXPECT_EQ(m->Bookmarks().Count(), 0);
  EXPECT_EQ((TPoint{tracked.X, tracked.Y}), (TPoint{0, 0}));
  m->RemovePosition(&tracked);

  // From a stream, reading starts where the stream stands.
  std::istringstream in("skip\r\nkeep\r\nthis");
  std::string first;
  std::getline(in, first);
  m->Lines().LoadFromStream(in);
  EXPECT_EQ(StoredLines(*m), (Lines{"keep", "this"}));
}

TEST(LinesList, ReadsOutsideTheTextAreEmpty) {
  auto m = BaseModel({"first", "second"});
  EXPECT_EQ(m->Lines().Get(-1) + m->Lines().Get(2) + m->LineText(5), "");
  EXPECT_EQ(m->LineLength(9), 0);
  EXPECT_EQ(m->GetLineItem(2), nullptr);
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

  // Writing the whole text is a bulk load: blanks at line ends go; Assign keeps them.
  m->Lines().SetText("p  \r\nq\t");
  EXPECT_EQ(StoredLines(*m), (Lines{"p", "q"}));
  m->Lines().Assign({"r  ", "\ts"});
  EXPECT_EQ(StoredLines(*m), (Lines{"r  ", "   s"}));
}

TEST(LinesList, WritesCannotBeUndoneAndMarkTheTextModified) {
  auto m = BaseModel();
  for (auto write : std::vector<std::function<void(TExternalStrings&)>>{
           [](TExternalStrings& l) { l.Put(0, "p"); },
           [](TExternalStrings& l) { l.Delete(0); },
           [](TExternalStrings& l) {
             l.Assign({"a1", "a2"});
           },
           [](TExternalStrings& l) {
             l.BeginUpdate();
             l.Add("u1");
             l.Put(0, "u0");
             l.EndUpdate();
           },
           [](TExternalStrings& l) { l.Clear(); },
       }) {
    m->Lines().Assign({"base"});
    m->SetCaret(4, 0);
    m->TypeChar('!');
    m->TypeChar('?');
    m->Undo(); // a redo step as well
    m->SetModified(false);
    write(m->Lines());
    EXPECT_FALSE(m->CanUndo());
    EXPECT_FALSE(m->CanRedo());
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

// A column block does not follow deleted lines, so it can be left below the text; its
// items are still one per line of the block, blanks as wide as the block.
TEST(SelectionStrings, ABlockBelowTheTextListsBlankItems) {
  auto m = BaseModel({"ab", "cd"});
  m->SelectBlock(TSelectionType::Column, 0, 5, 1, 6);
  EXPECT_EQ(m->Selection().Text(), "  \r\n  ");

  // Ctrl+Y on the only line under a column block (Ctrl+J reads the one item).
  auto d = DocModel({"abc"});
  Select(*d, TSelectionType::Column, 1, 0, 0, 0);
  d->DeleteLine();
  ASSERT_EQ(d->LineCount(), 0);
  ASSERT_EQ(d->Selection().Count(), 1);
  EXPECT_EQ(d->Selection().Get(0), "  ");
}

TEST(Save, ReadOnlyLinesAreLeftOutOnlyOnRequest) {
  auto m = BaseModel({"a", "b", "c"});
  m->SetLineReadOnly(1, true);
  // Then every written line ends in a break.
  const std::tuple<TOutFormatType, bool, std::string> cases[] = {{ofWindows, false, "a\r\nb\r\nc"},
                                                                 {ofUnix, false, "a\nb\nc\n"},
                                                                 {ofWindows, true, "a\r\nc\r\n"},
                                                                 {ofUnix, true, "a\nc\n"}};
  for (const auto& [format, exclude, expected] : cases) {
    SCOPED_TRACE(expected);
    m->SetOutFormat(format);
    m->SetOption(soExcludeReadOnlyLines, exclude);
    EXPECT_EQ(m->SaveToBytes(), expected);
  }
}

} // namespace
} // namespace marlo::test
