// Loading text into the line store, the public line list, and saving it back out.
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace marlo::test {
namespace {

TEST(Load, SplitsAtEveryLineBreakKindAndStopsAtANul) {
  struct Case {
    std::string bytes;
    Lines expected;
  };
  for (const Case& c : std::vector<Case>{
           {"a\rb\nc\r\n", {"a", "b", "c"}},
           {"a\r\nb", {"a", "b"}},
           {"a\r\n", {"a"}}, // a final break makes no empty last line
           {"a\r\n\r\n", {"a", ""}},
           {"\r\n", {""}},
           {"a\n\rb", {"a", "", "b"}}, // LF then CR is two breaks
           {"", {}},
           {std::string("ab\0cd\r\nef", 9), {"ab"}},
           {std::string("x\r\n\0y", 5), {"x"}},
       }) {
    SCOPED_TRACE(c.bytes);
    auto m = BaseModel();
    m->LoadFromBytes(c.bytes);
    EXPECT_EQ(StoredLines(*m), c.expected);
  }
}

TEST(Load, KeepsLongTextsInOrder) {
  // Long enough for the line array to grow many times during the load; every third line
  // holds a tab, so that it is copied rather than borrowed from the load buffer.
  std::string text;
  const int n = 5000;
  auto line = [](int i) { return "line " + std::to_string(i) + (i % 3 ? "" : " x"); };
  for (int i = 0; i < n; ++i) text += "line " + std::to_string(i) + (i % 3 ? "" : "\tx") + "\r\n";
  auto m = BaseModel();
  m->SetSpacesInTab(1);
  m->LoadFromBytes(text);
  ASSERT_EQ(m->LineCount(), n);
  int wrong = 0;
  for (int i = 0; i < n; ++i)
    if (m->StoredLine(i) != line(i)) ++wrong;
  EXPECT_EQ(wrong, 0);

  // Edits deep inside the loaded text land on the right line.
  m->SetCaret(0, 4000);
  m->TypeChar('#');
  m->InsertNewLine();
  m->Lines().Insert(10, "ten");
  EXPECT_EQ(m->StoredLine(4001), "#");
  EXPECT_EQ(m->StoredLine(4002), "line 4000");
  EXPECT_EQ(m->StoredLine(4000), line(3999));
  EXPECT_EQ(m->StoredLine(10), "ten");
  EXPECT_EQ(m->StoredLine(11), "line 10");
  // Loading again over an edited text frees the old one cleanly.
  m->LoadFromBytes(text);
  EXPECT_EQ(m->LineCount(), n);
  EXPECT_EQ(m->StoredLine(n - 1), line(n - 1));
}

TEST(Load, DropsTrailingBlanksAndConvertsTabs) {
  auto m = BaseModel();
  m->SetSpacesInTab(3);
  m->LoadFromBytes("x\ty   \r\n\tz\x01 \r\nab\tc\r\n \t \r\nend");
  // Each tab becomes a fixed run of SpacesInTab blanks, not aligned to the stops.
  EXPECT_EQ(StoredLines(*m), (Lines{"x   y", "   z", "ab   c", "", "end"}));

  m->SetSpacesInTab(0); // out of range: 8
  m->LoadFromBytes("\tq");
  EXPECT_EQ(StoredLines(*m), (Lines{"        q"}));

  // With tab characters in use they are stored as they come; trailing ones still go.
  m->SetOption(soUseTabCharacter, true);
  m->LoadFromBytes("a\tb\t\r\n\t");
  EXPECT_EQ(StoredLines(*m), (Lines{"a\tb", ""}));
}

TEST(Load, ResetsCaretSelectionHistoryBookmarksAndModified) {
  auto m = BaseModel({"one", "two", "three"});
  m->SetCaret(2, 1);
  m->TypeChar('x');
  m->SetBookmark(4);
  Select(*m, TSelectionType::Stream, 0, 0, 2, 2);
  TPosition tracked;
  tracked.X = 2;
  tracked.Y = 2;
  tracked.OnChange = [](const TPosition&) { return mpBoth; };
  m->AddPosition(&tracked);

  m->LoadFromBytes("new\r\ntext\r\n");
  EXPECT_EQ(StoredLines(*m), (Lines{"new", "text"}));
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
  EXPECT_FALSE(m->HasSelection());
  EXPECT_FALSE(m->CanUndo());
  EXPECT_FALSE(m->CanRedo());
  EXPECT_FALSE(m->Modified());
  EXPECT_EQ(m->Bookmarks().Count(), 0);
  EXPECT_EQ((TPoint{tracked.X, tracked.Y}), (TPoint{0, 0}));
  m->RemovePosition(&tracked);

  // From a stream, reading starts where the stream stands.
  std::istringstream in("skip\r\nkeep\r\nthis");
  std::string first;
  std::getline(in, first);
  m->LoadFromStream(in);
  EXPECT_EQ(StoredLines(*m), (Lines{"keep", "this"}));
  std::istringstream again("l1\nl2");
  m->Lines().LoadFromStream(again);
  EXPECT_EQ(StoredLines(*m), (Lines{"l1", "l2"}));
}

TEST(LinesList, ReadsOutsideTheTextAreEmpty) {
  auto m = BaseModel({"first", "second"});
  EXPECT_EQ(m->Lines().Get(-1), "");
  EXPECT_EQ(m->Lines().Get(2), "");
  EXPECT_EQ(m->Lines()[1], "second");
  EXPECT_EQ(m->Lines().Objects(-1), 0);
  EXPECT_EQ(m->Lines().Objects(7), 0);
  m->Lines().SetObjects(1, 42);
  EXPECT_EQ(m->Lines().Objects(1), 42);
  EXPECT_EQ(m->Lines().Objects(0), 0);
  EXPECT_EQ(m->LineText(5), "");
  EXPECT_EQ(m->StoredLine(-3), "");
  EXPECT_EQ(m->LineLength(9), 0);
  EXPECT_EQ(m->GetLineItem(2), nullptr);
  EXPECT_EQ(m->GetLineItem(-1), nullptr);
  EXPECT_FALSE(m->IsLineReadOnly(-1));
  EXPECT_FALSE(m->IsLineReadOnly(2));
  EXPECT_EQ(m->Lines().Text(), "first\r\nsecond");
}

TEST(LinesList, WritesKeepTrailingBlanksConvertTabsAndIgnoreBadIndexes) {
  auto m = BaseModel();
  m->SetSpacesInTab(3);
  EXPECT_EQ(m->Lines().Add("x\ty   "), 0);
  EXPECT_EQ(m->Lines().Add("b"), 1);
  m->Lines().Put(1, "b\t ");
  EXPECT_EQ(StoredLines(*m), (Lines{"x   y   ", "b    "}));

  m->Lines().Put(2, "nope");
  m->Lines().Put(-1, "nope");
  m->Lines().Insert(3, "nope");
  m->Lines().Insert(-1, "nope");
  m->Lines().Delete(2);
  m->Lines().Delete(-1);
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
  auto m = BaseModel({"abc"});
  m->SetCaret(3, 0);
  m->TypeChar('d');
  m->Undo();
  m->TypeChar('e');
  m->SetModified(false);
  m->Lines().Add("added");
  EXPECT_FALSE(m->CanUndo());
  EXPECT_FALSE(m->CanRedo());
  EXPECT_TRUE(m->Modified());
  m->Undo();
  EXPECT_EQ(StoredLines(*m), (Lines{"abce", "added"}));

  for (auto write : std::vector<std::function<void(TExternalStrings&)>>{
           [](TExternalStrings& l) { l.Put(0, "p"); },
           [](TExternalStrings& l) { l.Insert(0, "i"); },
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
  m->Lines().Insert(0, "new");
  EXPECT_EQ(m->Caret(), (TPoint{1, 3}));
  m->Lines().Delete(0);
  EXPECT_EQ(m->Caret(), (TPoint{1, 2}));
  // Inserting at the caret's line puts the new line above the caret's text.
  m->Lines().Insert(2, "x");
  m->Lines().Put(0, "changed");
  m->Lines().Add("last");
  EXPECT_EQ(m->Caret(), (TPoint{1, 3}));
  EXPECT_EQ(m->StoredLine(3), "l2");

  Select(*m, TSelectionType::Stream, 1, 1, 2, 3);
  std::string selected = m->Selection().Text();
  m->Lines().Insert(0, "top");
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 2}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 4}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 4}));
  EXPECT_EQ(m->Selection().Text(), selected);

  // Assign is a bulk replacement: the caret goes to the start; Clear drops the rest.
  m->Lines().Assign({"a", "b", "c"});
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
  m->SetBookmark(2);
  Select(*m, TSelectionType::Stream, 0, 0, 1, 1);
  m->Lines().Clear();
  EXPECT_EQ(m->LineCount(), 0);
  EXPECT_FALSE(m->HasSelection());
  EXPECT_EQ(m->Bookmarks().Count(), 0);
  EXPECT_EQ(m->Selection().Count(), 0);
}

TEST(Save, LineBreakFormatsAndExcludedLines) {
  auto m = BaseModel({"a", "b", "c"});
  std::ostringstream out, viaLines;
  m->SaveToStream(out);
  m->Lines().SaveToStream(viaLines);
  EXPECT_EQ(out.str(), "a\r\nb\r\nc");
  EXPECT_EQ(viaLines.str(), "a\r\nb\r\nc");

  struct Case {
    TOutFormatType format;
    bool excludeReadOnly;
    std::string expected;
  };
  m->SetLineReadOnly(1, true);
  // Read-only lines are left out only on request; then every written line ends in a break.
  for (const Case& c : std::vector<Case>{{ofWindows, false, "a\r\nb\r\nc"},
                                         {ofUnix, false, "a\nb\nc\n"},
                                         {ofMac, false, "a\rb\rc\r"},
                                         {ofWindows, true, "a\r\nc\r\n"},
                                         {ofUnix, true, "a\nc\n"}}) {
    SCOPED_TRACE(c.expected);
    m->SetOutFormat(c.format);
    m->SetOption(soExcludeReadOnlyLines, c.excludeReadOnly);
    EXPECT_EQ(m->SaveToBytes(), c.expected);
  }
  auto empty = BaseModel();
  empty->SetOutFormat(ofUnix);
  EXPECT_EQ(empty->SaveToBytes(), "");
}

TEST(Save, LoadedTextSavesBackUnchanged) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  const std::string text = "10 REM prog\r\n\tPRINT \"x\"\r\n\r\nEND";
  m->LoadFromBytes(text);
  EXPECT_EQ(m->SaveToBytes(), text);
  std::string bytes;
  for (int c = 1; c < 256; ++c)
    if (c != '\r' && c != '\n' && c != '\t') bytes.push_back(static_cast<char>(c));
  m->LoadFromBytes(bytes + "!");
  EXPECT_EQ(m->SaveToBytes(), bytes + "!");
}

} // namespace
} // namespace marlo::test
