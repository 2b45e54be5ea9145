// The line store of the text model: loading and splitting, tabs, the public line list,
// saving formats, and the change bracket that reports each change to the views once.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace marlo::test {
namespace {

TEST(LineStore, LoadSplitsAtEveryLineBreakKind) {
  auto m = BaseModel();
  m->LoadFromBytes("a\rb\nc\r\n");
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "b", "c"}));

  m->LoadFromBytes("a\r\nb");
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "b"}));

  // A final break makes no empty last line, but an empty line before it stays.
  m->LoadFromBytes("a\r\n");
  EXPECT_EQ(StoredLines(*m), (Lines{"a"}));
  m->LoadFromBytes("a\r\n\r\n");
  EXPECT_EQ(StoredLines(*m), (Lines{"a", ""}));
  m->LoadFromBytes("\r\n");
  EXPECT_EQ(StoredLines(*m), (Lines{""}));

  // LF followed by CR is two breaks, CR followed by LF one.
  m->LoadFromBytes("a\n\rb");
  EXPECT_EQ(StoredLines(*m), (Lines{"a", "", "b"}));

  m->LoadFromBytes("");
  EXPECT_EQ(m->LineCount(), 0);

  // A NUL ends the text.
  m->LoadFromBytes(std::string("ab\0cd\r\nef", 9));
  EXPECT_EQ(StoredLines(*m), (Lines{"ab"}));
  m->LoadFromBytes(std::string("x\r\n\0y", 5));
  EXPECT_EQ(StoredLines(*m), (Lines{"x"}));
}

TEST(LineStore, LoadKeepsLongTextsInOrder) {
  // Long enough for the line array to grow many times during the load; every third line
  // holds a tab, so that it is copied rather than borrowed from the load buffer.
  std::string text;
  const int n = 5000;
  for (int i = 0; i < n; ++i) text += "line " + std::to_string(i) + (i % 3 ? "" : "\tx") + "\r\n";
  {
    auto m = BaseModel();
    m->SetSpacesInTab(1);
    m->LoadFromBytes(text);
    ASSERT_EQ(m->LineCount(), n);
    int wrong = 0;
    for (int i = 0; i < n; ++i)
      if (m->StoredLine(i) != "line " + std::to_string(i) + (i % 3 ? "" : " x")) ++wrong;
    EXPECT_EQ(wrong, 0);

    // Edits deep inside the loaded text land on the right line.
    m->SetCaret(0, 4000);
    m->TypeChar('#');
    m->InsertNewLine();
    EXPECT_EQ(m->StoredLine(4000), "#");
    EXPECT_EQ(m->StoredLine(4001), "line 4000");
    EXPECT_EQ(m->StoredLine(3999), "line 3999 x");
    m->Lines().Insert(10, "ten");
    EXPECT_EQ(m->StoredLine(10), "ten");
    EXPECT_EQ(m->StoredLine(11), "line 10");
    EXPECT_EQ(m->LineCount(), n + 2);
    // Loading again over an edited text frees the old one cleanly.
    m->LoadFromBytes(text);
    EXPECT_EQ(m->LineCount(), n);
    EXPECT_EQ(m->StoredLine(n - 1), "line " + std::to_string(n - 1) + ((n - 1) % 3 ? "" : " x"));
  }
}

TEST(LineStore, LoadDropsTrailingBlanksAndConvertsTabs) {
  auto m = BaseModel();
  m->SetSpacesInTab(3);
  m->LoadFromBytes("x\ty   \r\n\tz\x01 \r\nab\tc\r\n \t \r\nend");
  // Each tab becomes a fixed run of SpacesInTab blanks, not aligned to the stops.
  EXPECT_EQ(StoredLines(*m), (Lines{"x   y", "   z", "ab   c", "", "end"}));

  m->SetSpacesInTab(0); // out of range: 8
  EXPECT_EQ(m->SpacesInTab(), 8);
  m->LoadFromBytes("\tq");
  EXPECT_EQ(StoredLines(*m), (Lines{"        q"}));

  // With tab characters in use they are stored as they come; trailing ones still go.
  m->SetOption(soUseTabCharacter, true);
  m->LoadFromBytes("a\tb\t\r\n\t");
  EXPECT_EQ(StoredLines(*m), (Lines{"a\tb", ""}));
}

TEST(LineStore, LoadResetsCaretSelectionHistoryBookmarksAndModified) {
  auto m = BaseModel({"one", "two", "three"});
  m->SetCaret(2, 1);
  m->TypeChar('x');
  m->SetBookmark(4);
  Select(*m, TSelectionType::Stream, 0, 0, 2, 2);
  ASSERT_TRUE(m->Modified());
  ASSERT_TRUE(m->CanUndo());

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
  EXPECT_EQ(tracked.X, 0);
  EXPECT_EQ(tracked.Y, 0);
  m->RemovePosition(&tracked);
}

TEST(LineStore, LoadFromStreamStartsAtTheStreamsPosition) {
  auto m = BaseModel();
  std::istringstream in("skip\r\nkeep\r\nthis");
  std::string first;
  std::getline(in, first);
  m->LoadFromStream(in);
  EXPECT_EQ(StoredLines(*m), (Lines{"keep", "this"}));

  std::istringstream again("l1\nl2");
  m->Lines().LoadFromStream(again);
  EXPECT_EQ(StoredLines(*m), (Lines{"l1", "l2"}));
}

TEST(Tabs, TabStopsAcceptOnlyIncreasingPositiveColumns) {
  auto m = BaseModel();
  EXPECT_EQ(m->TabStops(), "9,17");
  m->SetTabStops("4,6");
  EXPECT_EQ(m->TabStops(), "4,6");

  for (const char* bad : {"5,3", "0", "3,3", "-2", "abc", "3,x", "3,,5"}) {
    SCOPED_TRACE(bad);
    try {
      m->SetTabStops(bad);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Invalid Tab Rack");
    }
    // The old stops stay in force.
    EXPECT_EQ(m->TabStops(), "4,6");
    EXPECT_EQ(m->TabStopColumn(0), 4);
    EXPECT_EQ(m->TabStopColumn(2), 8);
  }

  m->SetTabStops(""); // ignored
  EXPECT_EQ(m->TabStops(), "4,6");
  EXPECT_EQ(m->TabStopColumn(1), 6);
}

TEST(Tabs, StopColumnsContinueAtTheLastInterval) {
  auto m = BaseModel();
  // Default "9,17": 9, 17, 25, 33, ...
  EXPECT_EQ(m->TabInterval(), 8);
  EXPECT_EQ(m->TabStopColumn(0), 9);
  EXPECT_EQ(m->TabStopColumn(1), 17);
  EXPECT_EQ(m->TabStopColumn(2), 25);
  EXPECT_EQ(m->TabStopColumn(3), 33);

  m->SetTabStops("3");
  EXPECT_EQ(m->TabInterval(), 3);
  EXPECT_EQ(m->TabStopColumn(0), 3);
  EXPECT_EQ(m->TabStopColumn(1), 6);
  EXPECT_EQ(m->TabStopColumn(5), 18);

  m->SetTabStops("2,5,10");
  EXPECT_EQ(m->TabInterval(), 5);
  EXPECT_EQ(m->TabStopColumn(1), 5);
  EXPECT_EQ(m->TabStopColumn(2), 10);
  EXPECT_EQ(m->TabStopColumn(3), 15);
  EXPECT_EQ(m->NextTabStop(0), 2);
  EXPECT_EQ(m->NextTabStop(2), 5);
  EXPECT_EQ(m->NextTabStop(12), 15);
}

TEST(Tabs, ExpandTabsAlignsToTheStops) {
  auto m = BaseModel();
  m->SetTabStops("3");
  EXPECT_EQ(m->ExpandTabs("\tx"), "   x");
  EXPECT_EQ(m->ExpandTabs("ab\tc"), "ab c");
  EXPECT_EQ(m->ExpandTabs("abc\td"), "abc   d"); // a tab at a stop goes to the next one
  EXPECT_EQ(m->ExpandTabs("\t\t"), "      ");
  EXPECT_EQ(m->ExpandTabs(""), "");
  EXPECT_EQ(m->ExpandTabs("plain"), "plain");

  m->SetTabStops("9,17");
  EXPECT_EQ(m->ExpandTabs("a\t\tb"), "a" + std::string(16, ' ') + "b");
  EXPECT_EQ(m->ExpandTabs(std::string(20, 'x') + "\ty"), std::string(20, 'x') + "     y");
}

TEST(Tabs, StoredTabsAreShownExpandedAndSavedAsTabs) {
  auto m = BaseModel();
  m->SetTabStops("3");
  m->SetOption(soUseTabCharacter, true);
  m->Lines().Add("ab\tc");
  EXPECT_EQ(m->Lines().Get(0), "ab c");
  EXPECT_EQ(m->LineText(0), "ab c");
  EXPECT_EQ(m->LineLength(0), 4);
  EXPECT_EQ(m->StoredLine(0), "ab\tc");
  EXPECT_EQ(m->Lines().Text(), "ab\tc");
  EXPECT_EQ(m->SaveToBytes(), "ab\tc");
}

TEST(Tabs, SmartTabAndTabCharactersExcludeEachOther) {
  auto m = BaseModel();
  ASSERT_TRUE(m->Has(soSmartTab));
  m->SetOption(soUseTabCharacter, true);
  EXPECT_TRUE(m->Has(soUseTabCharacter));
  EXPECT_FALSE(m->Has(soSmartTab));

  // Adding smart tabs while tab characters are on turns tab characters off.
  m->SetOption(soSmartTab, true);
  EXPECT_TRUE(m->Has(soSmartTab));
  EXPECT_FALSE(m->Has(soUseTabCharacter));

  // Both in one assignment: the tab characters that are added win.
  m->SetOptions(TStringsOptions{soSmartTab, soUseTabCharacter});
  EXPECT_TRUE(m->Has(soUseTabCharacter));
  EXPECT_FALSE(m->Has(soSmartTab));
}

TEST(LinesList, ReadsOutsideTheTextAreEmpty) {
  auto m = BaseModel({"first", "second"});
  EXPECT_EQ(m->Lines().Count(), 2);
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
  EXPECT_EQ(StoredLines(*m), (Lines{"x   y   ", "b"}));

  m->Lines().Put(1, "b\t ");
  EXPECT_EQ(m->StoredLine(1), "b    ");

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
  EXPECT_EQ(StoredLines(*m), (Lines{"top", "x   y   ", "b    ", "end"}));
  m->Lines().Delete(1);
  EXPECT_EQ(StoredLines(*m), (Lines{"top", "b    ", "end"}));

  // Writing the whole text is a bulk load: blanks at line ends go.
  m->Lines().SetText("p  \r\nq\t");
  EXPECT_EQ(StoredLines(*m), (Lines{"p", "q"}));

  // Assign keeps them and converts tabs.
  m->Lines().Assign({"r  ", "\ts"});
  EXPECT_EQ(StoredLines(*m), (Lines{"r  ", "   s"}));

  m->Lines().Clear();
  EXPECT_EQ(m->LineCount(), 0);
  EXPECT_EQ(m->Lines().Text(), "");
}

TEST(LinesList, WritesCannotBeUndoneAndMarkTheTextModified) {
  auto m = BaseModel({"abc"});
  m->SetCaret(3, 0);
  m->TypeChar('d');
  m->Undo();
  ASSERT_TRUE(m->CanRedo());
  m->TypeChar('e');
  ASSERT_TRUE(m->CanUndo());
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
    ASSERT_TRUE(m->CanUndo());
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
  EXPECT_EQ(m->Caret(), (TPoint{1, 3}));
  EXPECT_EQ(m->StoredLine(3), "l2");
  m->Lines().Put(0, "changed");
  m->Lines().Add("last");
  EXPECT_EQ(m->Caret(), (TPoint{1, 3}));

  Select(*m, TSelectionType::Stream, 1, 1, 2, 3);
  ASSERT_EQ(m->SelectionKind(), TSelectionType::Stream);
  std::string selected = m->Selection().Text();
  m->Lines().Insert(0, "top");
  EXPECT_EQ(m->SelectionKind(), TSelectionType::Stream);
  EXPECT_EQ(m->BlockBegin(), (TPoint{1, 2}));
  EXPECT_EQ(m->BlockEnd(), (TPoint{2, 4}));
  EXPECT_EQ(m->Caret(), (TPoint{2, 4}));
  EXPECT_EQ(m->Selection().Text(), selected);

  // Assign is a bulk replacement: the caret goes to the start.
  m->Lines().Assign({"a", "b", "c"});
  EXPECT_EQ(m->Caret(), (TPoint{0, 0}));
}

TEST(LinesList, ClearRemovesSelectionAndBookmarks) {
  auto m = BaseModel({"one", "two"});
  m->SetCaret(1, 1);
  m->SetBookmark(2);
  Select(*m, TSelectionType::Stream, 0, 0, 2, 1);
  m->Lines().Clear();
  EXPECT_EQ(m->LineCount(), 0);
  EXPECT_FALSE(m->HasSelection());
  EXPECT_EQ(m->Bookmarks().Count(), 0);
  EXPECT_EQ(m->Selection().Count(), 0);
}

TEST(Saving, FormatsAndExcludedLines) {
  auto m = BaseModel({"a", "b", "c"});
  EXPECT_EQ(m->SaveToBytes(), "a\r\nb\r\nc");
  std::ostringstream out;
  m->SaveToStream(out);
  EXPECT_EQ(out.str(), "a\r\nb\r\nc");
  std::ostringstream viaLines;
  m->Lines().SaveToStream(viaLines);
  EXPECT_EQ(viaLines.str(), "a\r\nb\r\nc");

  m->SetOutFormat(ofUnix);
  EXPECT_EQ(m->SaveToBytes(), "a\nb\nc\n");
  m->SetOutFormat(ofMac);
  EXPECT_EQ(m->SaveToBytes(), "a\rb\rc\r");

  // Read-only lines are left out only on request; then every written line ends in a break.
  m->SetOutFormat(ofWindows);
  m->SetLineReadOnly(1, true);
  EXPECT_EQ(m->SaveToBytes(), "a\r\nb\r\nc");
  m->SetOption(soExcludeReadOnlyLines, true);
  EXPECT_EQ(m->SaveToBytes(), "a\r\nc\r\n");
  m->SetOutFormat(ofUnix);
  EXPECT_EQ(m->SaveToBytes(), "a\nc\n");

  auto empty = BaseModel();
  EXPECT_EQ(empty->SaveToBytes(), "");
  empty->SetOutFormat(ofUnix);
  EXPECT_EQ(empty->SaveToBytes(), "");
}

TEST(Saving, LoadedTextSavesBackUnchanged) {
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

TEST(Properties, DefaultsAndDocumentConfiguration) {
  TMemoSource base;
  EXPECT_EQ(base.Options(),
            (TStringsOptions{soBackUnindents, soGroupUndo, soForceCutCopy, soAutoIndent, soSmartTab,
                             soFindTextAtCursor, soOverwriteBlocks}));
  EXPECT_EQ(base.TabStops(), "9,17");
  EXPECT_EQ(base.SpacesInTab(), 8);
  EXPECT_EQ(base.BlockIndent(), 1);
  EXPECT_EQ(base.Delimeters(), "");
  EXPECT_FALSE(base.ReadOnly());
  EXPECT_EQ(base.BlockOption(), bkBoth);
  EXPECT_EQ(base.OutFormat(), ofWindows);
  EXPECT_TRUE(base.AllowUndo());
  EXPECT_EQ(base.UndoLimit(), 0);
  EXPECT_EQ(base.TemplatesType(), "None");
  EXPECT_EQ(base.LineCount(), 0);
  EXPECT_FALSE(base.Modified());

  base.SetSpacesInTab(11);
  EXPECT_EQ(base.SpacesInTab(), 8);
  base.SetSpacesInTab(10);
  EXPECT_EQ(base.SpacesInTab(), 10);
  base.SetBlockIndent(-4);
  EXPECT_EQ(base.BlockIndent(), 0);
  base.SetUndoLimit(-1);
  EXPECT_EQ(base.UndoLimit(), 0);

  TMemoSource doc;
  doc.ConfigureAsDocument();
  EXPECT_EQ(doc.Options(),
            (TStringsOptions{soBackUnindents, soGroupUndo, soAutoIndent, soFindTextAtCursor,
                             soCreateBackups, soOverwriteBlocks, soLimitEOL}));
  EXPECT_EQ(doc.TabStops(), "3");
  EXPECT_EQ(doc.SpacesInTab(), 3);
  EXPECT_EQ(doc.BlockIndent(), 3);
  EXPECT_EQ(doc.Delimeters(), ":");
  EXPECT_EQ(doc.TemplatesType(), "Custom");
  EXPECT_EQ(doc.CodeTemplates().size(), 11u);
  EXPECT_TRUE(doc.IsDelimiter(':'));
  EXPECT_TRUE(doc.IsDelimiter(' '));
  EXPECT_TRUE(doc.IsDelimiter('\0'));
  EXPECT_FALSE(doc.IsDelimiter('.'));
  EXPECT_FALSE(doc.IsDelimiter('('));
  EXPECT_FALSE(base.IsDelimiter(':'));
}

class FixedStyleParser : public TLineParser {
public:
  void SetLineIndex(int) override {}
  int ColorString(std::string_view text, int, std::string& colors) override {
    colors.assign(text.size(), '\x03');
    return 0;
  }
};

TEST(Properties, TheParserIsDroppedWhenEitherSideGoesAway) {
  auto m = BaseModel({"a", "b"});
  {
    FixedStyleParser parser;
    ScopedView v(*m);
    m->SetSyntaxParser(&parser);
    EXPECT_EQ(m->SyntaxParser(), &parser);
    ASSERT_EQ(v.view.Count(), 1);
    EXPECT_TRUE(v.view.Last().Flags.Has(chParser));
  }
  EXPECT_EQ(m->SyntaxParser(), nullptr);
  m->TypeChar('x');
  EXPECT_EQ(m->StoredLine(0), "xa");

  // A model that goes first leaves the parser nothing to call back.
  FixedStyleParser survivor;
  {
    auto gone = BaseModel({"c"});
    gone->SetSyntaxParser(&survivor);
  }
  auto other = BaseModel({"d"});
  other->SetSyntaxParser(&survivor);
  other->SetSyntaxParser(nullptr);
  EXPECT_EQ(other->SyntaxParser(), nullptr);
}

TEST(Properties, DroppingBeyondFileEndPullsTheCaretBack) {
  auto m = BaseModel({"abc", "de  x"});
  m->SetOption(soBeyondFileEnd, true);
  m->SetCaret(2, 6);
  ASSERT_EQ(m->CaretY(), 6);
  m->SetOption(soBeyondFileEnd, false);
  EXPECT_EQ(m->Caret(), (TPoint{5, 1}));
}

// ---- Change bracket ------------------------------------------------------------------

bool Covers(const TChangeInfo& c, int line) {
  return c.FirstLine <= line && line <= c.LastLine;
}

TEST(ChangeBracket, OneNotificationPerOutermostChange) {
  auto m = BaseModel({"abc", "def"});
  ScopedView v(*m);
  RecordingView second;
  m->AddView(&second, false);
  EXPECT_EQ(v.view.Count(), 0);

  m->SetCaret(1, 0);
  EXPECT_EQ(v.view.Count(), 1);
  m->TypeChar('x');
  EXPECT_EQ(v.view.Count(), 2);
  m->InsertNewLine();
  EXPECT_EQ(v.view.Count(), 3);

  // Several commands inside one bracket are one change.
  v.view.Reset();
  m->BeginChange(TChangeKind::Other);
  m->TypeChar('y');
  m->MoveCaretLeft();
  m->InsertNewLine();
  m->BackSpace();
  m->InsertNewLine();
  EXPECT_EQ(v.view.Count(), 0);
  m->EndChange();
  ASSERT_EQ(v.view.Count(), 1);
  EXPECT_TRUE(v.view.Last().Flags.Has(chText));
  EXPECT_TRUE(v.view.Last().Flags.Has(chCaret));
  EXPECT_TRUE(v.view.Last().Flags.Has(chLineCount));

  // Both views hear of every change; an unregistered one no more.
  EXPECT_EQ(second.Count(), 4);
  m->RemoveView(&second);
  m->TypeChar('z');
  EXPECT_EQ(second.Count(), 4);
  EXPECT_EQ(v.view.Count(), 2);

  // A command that does nothing reports nothing.
  v.view.Reset();
  m->MoveCaretToTop();
  v.view.Reset();
  m->MoveCaretLeft();
  m->MoveCaretUp();
  m->DeleteSelection();
  m->GotoBookmark(9);
  EXPECT_EQ(v.view.Count(), 0);
}

TEST(ChangeBracket, FlagsSayWhatChanged) {
  auto m = BaseModel();
  ScopedView v(*m);

  m->TypeChar('a');
  ASSERT_EQ(v.view.Count(), 1);
  TChangeFlags f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chText));
  EXPECT_TRUE(f.Has(chCaret));
  EXPECT_TRUE(f.Has(chModified));
  EXPECT_TRUE(f.Has(chLineCount)); // the empty text got its first line
  EXPECT_TRUE(Covers(v.view.Last(), 0));

  m->TypeChar('b');
  f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chText));
  EXPECT_TRUE(f.Has(chCaret));
  EXPECT_FALSE(f.Has(chModified));
  EXPECT_FALSE(f.Has(chLineCount));

  m->InsertNewLine();
  m->TypeChar('c');
  m->InsertNewLine();
  f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chLineCount));
  EXPECT_TRUE(Covers(v.view.Last(), 1));

  m->MoveCaretUp();
  f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chCaret));
  EXPECT_FALSE(f.Has(chText));
  EXPECT_FALSE(f.Has(chLineCount));

  // Leaving a line with trailing blanks trims it: that is a text change of that line.
  m->Lines().Assign({"x", "ab  ", "y"});
  m->SetModified(false);
  m->SetCaret(1, 1);
  v.view.Reset();
  m->MoveCaretDown();
  ASSERT_EQ(v.view.Count(), 1);
  f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chCaret));
  EXPECT_TRUE(f.Has(chText));
  EXPECT_TRUE(f.Has(chModified));
  EXPECT_TRUE(Covers(v.view.Last(), 1));

  Select(*m, TSelectionType::Stream, 0, 0, 1, 0);
  EXPECT_TRUE(v.view.Last().Flags.Has(chSelection));
  m->ClearSelection();
  EXPECT_TRUE(v.view.Last().Flags.Has(chSelection));

  m->Lines().Put(2, "changed");
  f = v.view.Last().Flags;
  EXPECT_TRUE(f.Has(chText));
  EXPECT_TRUE(Covers(v.view.Last(), 2));

  m->SetCaret(1, 0);
  m->TypeChar('q');
  m->Undo();
  EXPECT_TRUE(v.view.Last().Flags.Has(chUndo));
  EXPECT_TRUE(v.view.Last().Flags.Has(chText));
}

// Every line whose text differs after the change lies in the reported range; when the
// line count changed, the range starts at or above the first line that differs.
void ExpectRangeCovers(const Lines& before, const Lines& after, const TChangeInfo& c) {
  ASSERT_TRUE(c.Flags.Has(chText));
  size_t n = std::min(before.size(), after.size());
  if (before.size() != after.size()) {
    size_t first = 0;
    while (first < n && before[first] == after[first]) ++first;
    EXPECT_LE(c.FirstLine, static_cast<int>(first));
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    if (before[i] != after[i]) {
      EXPECT_TRUE(Covers(c, static_cast<int>(i)))
          << "line " << i << " changed, range " << c.FirstLine << ".." << c.LastLine;
    }
  }
}

TEST(ChangeBracket, TheRangeCoversLinesThatLaterEditsOfTheSameChangeMoved) {
  // Moving the line break after "c" above "b": the join is marked on line 2, and the split
  // that follows in the same change moves the joined line down to line 3.
  auto m = BaseModel({"a", "b", "c", "d"});
  m->SetOption(soPersistentBlocks, true);
  m->SelectBlock(TSelectionType::Stream, 1, 2, 0, 3);
  m->SetCaret(1, 0);
  Lines before = StoredLines(*m);
  ScopedView v(*m);
  m->MoveSelectionToCaret();
  ASSERT_EQ(StoredLines(*m), (Lines{"a", "", "b", "cd"}));
  ASSERT_EQ(v.view.Count(), 1);
  ExpectRangeCovers(before, StoredLines(*m), v.view.Last());

  // The same with a column block copied below.
  auto c = BaseModel({"ab", "cd", "ef", "gh"});
  c->SetOption(soPersistentBlocks, true);
  c->SelectBlock(TSelectionType::Column, 0, 0, 0, 1);
  c->SetCaret(2, 2);
  before = StoredLines(*c);
  ScopedView w(*c);
  c->CopySelectionToCaret();
  ASSERT_EQ(w.view.Count(), 1);
  ExpectRangeCovers(before, StoredLines(*c), w.view.Last());
}

TEST(ChangeBracket, ABlockCommandThatMovesTheSelectionSaysSo) {
  // The selection reaches below the text; rewriting it ends it at the last line.
  auto m = BaseModel({"  a", "  b"});
  m->SetOption(soBeyondFileEnd, true);
  m->SelectBlock(TSelectionType::Stream, 0, 0, 1, 4);
  TPoint begin = m->BlockBegin(), end = m->BlockEnd();
  ScopedView v(*m);
  m->UpperCaseBlock();
  EXPECT_EQ(StoredLines(*m), (Lines{"  A", "  B"}));
  ASSERT_EQ(v.view.Count(), 1);
  if (m->BlockBegin() != begin || m->BlockEnd() != end) {
    EXPECT_TRUE(v.view.Last().Flags.Has(chSelection))
        << "selection now " << m->BlockBegin().X << "," << m->BlockBegin().Y << "-"
        << m->BlockEnd().X << "," << m->BlockEnd().Y;
  }

  auto i = BaseModel({"a", "b"});
  i->SelectBlock(TSelectionType::Stream, 0, 0, 1, 1);
  ScopedView w(*i);
  i->IndentBlock();
  ASSERT_EQ(w.view.Count(), 1);
  EXPECT_NE(i->BlockEnd(), (TPoint{1, 1}));
  EXPECT_TRUE(w.view.Last().Flags.Has(chSelection));
}

TEST(ChangeBracket, ALoadReportsEverythingButSelectionAndReadOnly) {
  auto m = BaseModel({"a"});
  ScopedView v(*m);
  m->LoadFromBytes("x\r\ny");
  ASSERT_EQ(v.view.Count(), 1);
  TChangeFlags f = v.view.Last().Flags;
  for (TChangeFlag flag : {chCaret, chText, chUndo, chLineState, chOverwrite, chLineCount,
                           chModified, chFileName, chParser}) {
    EXPECT_TRUE(f.Has(flag)) << "flag " << int(flag);
  }
  EXPECT_FALSE(f.Has(chReadOnly));
  EXPECT_TRUE(Covers(v.view.Last(), 0));
  EXPECT_TRUE(Covers(v.view.Last(), 1));

  // Registering with a refresh is itself such a change.
  RecordingView late;
  m->AddView(&late, true);
  ASSERT_EQ(late.Count(), 1);
  EXPECT_TRUE(late.Last().Flags.Has(chText));
  EXPECT_TRUE(late.Last().Flags.Has(chLineCount));
  EXPECT_TRUE(late.Last().Flags.Has(chCaret));
  m->RemoveView(&late);
}

TEST(ChangeBracket, PropertyChangesReportTheirOwnFlag) {
  auto m = BaseModel({"a", "b"});
  ScopedView v(*m);

  m->SetOverwrite(true);
  ASSERT_EQ(v.view.Count(), 1);
  EXPECT_TRUE(v.view.Last().Flags.Has(chOverwrite));
  m->SetOverwrite(true);
  EXPECT_EQ(v.view.Count(), 1);
  m->ToggleOverwrite();
  EXPECT_FALSE(TCustomMemoSource::Overwrite());
  EXPECT_EQ(v.view.Count(), 2);

  m->SetFileName("one.zba");
  EXPECT_TRUE(v.view.Last().Flags.Has(chFileName));
  m->SetFileName("two.zba");
  EXPECT_EQ(m->PrevFileName(), "one.zba");
  EXPECT_EQ(m->FileName(), "two.zba");
  int n = v.view.Count();
  m->SetFileName("two.zba");
  EXPECT_EQ(v.view.Count(), n);

  m->SetReadOnly(true);
  EXPECT_TRUE(v.view.Last().Flags.Has(chReadOnly));
  m->SetReadOnly(false);

  m->SetLineState(1, 3);
  EXPECT_EQ(m->GetLineState(1), 3);
  EXPECT_TRUE(v.view.Last().Flags.Has(chLineState));
  EXPECT_TRUE(Covers(v.view.Last(), 1));
  n = v.view.Count();
  m->SetLineState(1, 3);
  EXPECT_EQ(v.view.Count(), n);

  m->SetHighlightUrls(true);
  EXPECT_TRUE(v.view.Last().Flags.Has(chParser));

  m->SetCaret(1, 0);
  m->TypeChar('x');
  ASSERT_TRUE(m->Modified());
  m->SetModified(false);
  EXPECT_TRUE(v.view.Last().Flags.Has(chModified));
  EXPECT_FALSE(m->Modified());
  n = v.view.Count();
  m->SetModified(false);
  EXPECT_EQ(v.view.Count(), n);
}

} // namespace
} // namespace marlo::test
