// Tab stops and how tabs are shown, stored and saved; the model's options and the
// highlighter it is given.
#include "core/error.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo::test {
namespace {

TEST(Tabs, TabStopsAcceptOnlyIncreasingPositiveColumns) {
  auto m = BaseModel();
  m->SetTabStops("4,6");
  for (const char* bad : {"5,3", "0", "3,3", "-2", "abc", "3,x", "3,,5", ""}) {
    SCOPED_TRACE(bad);
    try {
      m->SetTabStops(bad);
      if (*bad) ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Invalid Tab Rack");
    }
    // The old stops stay in force ("" is ignored).
    EXPECT_EQ(m->TabStops(), "4,6");
    EXPECT_EQ(m->TabStopColumn(1), 6);
    EXPECT_EQ(m->TabStopColumn(2), 8);
  }
}

TEST(Tabs, StopsContinueAtTheLastIntervalAndExpandTabsAlignsToThem) {
  struct Case {
    const char* stops;
    int interval;
    std::vector<int> columns;              // TabStopColumn(0), (1), ...
    std::vector<std::pair<int, int>> next; // NextTabStop(first) == second
    std::vector<std::pair<std::string, std::string>> expand;
  };
  const std::string x20(20, 'x');
  for (const Case& c : std::vector<Case>{
           {"9,17",
            8,
            {9, 17, 25, 33},
            {{0, 9}, {9, 17}, {30, 33}},
            {{"a\t\tb", "a" + std::string(16, ' ') + "b"}, {x20 + "\ty", x20 + "     y"}}},
           {"3",
            3,
            {3, 6, 9, 12, 15, 18},
            {{0, 3}, {3, 6}, {4, 6}},
            {{"\tx", "   x"},
             {"ab\tc", "ab c"},
             {"abc\td", "abc   d"}, // a tab at a stop goes to the next one
             {"\t\t", "      "},
             {"", ""},
             {"plain", "plain"}}},
           {"2,5,10", 5, {2, 5, 10, 15}, {{0, 2}, {2, 5}, {12, 15}}, {{"a\tb\tc", "a b  c"}}},
       }) {
    SCOPED_TRACE(c.stops);
    auto m = BaseModel();
    m->SetTabStops(c.stops);
    EXPECT_EQ(m->TabInterval(), c.interval);
    for (size_t i = 0; i < c.columns.size(); ++i)
      EXPECT_EQ(m->TabStopColumn(static_cast<int>(i)), c.columns[i]) << "stop " << i;
    for (auto [from, to] : c.next) EXPECT_EQ(m->NextTabStop(from), to) << "from " << from;
    for (const auto& [in, out] : c.expand) EXPECT_EQ(m->ExpandTabs(in), out) << in;
  }
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

TEST(Options, SmartTabAndTabCharactersExcludeEachOther) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  EXPECT_TRUE(m->Has(soUseTabCharacter));
  EXPECT_FALSE(m->Has(soSmartTab));
  m->SetOption(soSmartTab, true);
  EXPECT_TRUE(m->Has(soSmartTab));
  EXPECT_FALSE(m->Has(soUseTabCharacter));
  // Both in one assignment: the tab characters that are added win.
  m->SetOptions(TStringsOptions{soSmartTab, soUseTabCharacter});
  EXPECT_TRUE(m->Has(soUseTabCharacter));
  EXPECT_FALSE(m->Has(soSmartTab));
}

TEST(Options, OutOfRangeValuesAreClampedOrRefused) {
  TMemoSource m;
  m.SetSpacesInTab(11);
  EXPECT_EQ(m.SpacesInTab(), 8);
  m.SetSpacesInTab(10);
  EXPECT_EQ(m.SpacesInTab(), 10);
  m.SetBlockIndent(-4);
  EXPECT_EQ(m.BlockIndent(), 0);
  m.SetUndoLimit(-1);
  EXPECT_EQ(m.UndoLimit(), 0);
  // A document window adds ':' to the word delimiters.
  m.ConfigureAsDocument();
  EXPECT_TRUE(m.IsDelimiter(':'));
  EXPECT_TRUE(m.IsDelimiter(' '));
  EXPECT_TRUE(m.IsDelimiter('\0'));
  EXPECT_FALSE(m.IsDelimiter('.'));
  EXPECT_FALSE(m.IsDelimiter('('));
  EXPECT_FALSE(BaseModel()->IsDelimiter(':'));
}

TEST(Options, DroppingBeyondFileEndPullsTheCaretBack) {
  auto m = BaseModel({"abc", "de  x"});
  m->SetOption(soBeyondFileEnd, true);
  m->SetCaret(2, 6);
  ASSERT_EQ(m->CaretY(), 6);
  m->SetOption(soBeyondFileEnd, false);
  EXPECT_EQ(m->Caret(), (TPoint{5, 1}));
}

class FixedStyleParser : public TLineParser {
public:
  void SetLineIndex(int) override {}
  int ColorString(std::string_view text, int, std::string& colors) override {
    colors.assign(text.size(), '\x03');
    return 0;
  }
};

TEST(Options, TheParserIsDroppedWhenEitherSideGoesAway) {
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

} // namespace
} // namespace marlo::test
