// Tab stops and how tabs are shown, stored and saved; options that limit each other.
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
  for (const char* bad : {"5,3", "0", "3,3", "-2", "abc", "3,x", "3,,5"}) {
    try {
      m->SetTabStops(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Invalid Tab Rack");
    }
    EXPECT_EQ(m->TabStops(), "4,6") << bad; // the old stops stay in force
  }
  m->SetTabStops(""); // ignored
  EXPECT_EQ(m->TabStops(), "4,6");
}

// Tab stops given, the columns of the first stops, NextTabStop(from) == to, and lines with
// their tabs expanded.
struct StopCase {
  const char* stops;
  std::vector<int> columns;
  std::vector<std::pair<int, int>> next;
  std::vector<std::pair<std::string, std::string>> expand;
};

TEST(Tabs, StopsContinueAtTheLastIntervalAndExpandTabsAlignsToThem) {
  const std::string x20(20, 'x');
  const StopCase cases[] = {
      {"9,17",
       {9, 17, 25, 33},
       {{0, 9}, {9, 17}, {30, 33}},
       {{"a\t\tb", "a" + std::string(16, ' ') + "b"}, {x20 + "\ty", x20 + "     y"}}},
      // A tab at a stop goes to the next one.
      {"3",
       {3, 6, 9, 12},
       {{0, 3}, {3, 6}, {4, 6}},
       {{"\tx", "   x"}, {"ab\tc", "ab c"}, {"abc\td", "abc   d"}, {"\t\t", "      "}}},
      {"2,5,10", {2, 5, 10, 15}, {{0, 2}, {2, 5}, {12, 15}}, {{"a\tb\tc", "a b  c"}}},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.stops);
    auto m = BaseModel();
    m->SetTabStops(c.stops);
    for (size_t i = 0; i < c.columns.size(); ++i)
      EXPECT_EQ(m->TabStopColumn(static_cast<int>(i)), c.columns[i]) << "stop " << i;
    for (auto [from, to] : c.next) EXPECT_EQ(m->NextTabStop(from), to) << "from " << from;
    for (const auto& [in, out] : c.expand) EXPECT_EQ(m->ExpandTabs(in), out) << in;
  }
}

// The bytes saved with kept tabs are checked by fuzz/fuzz_load_stream.cpp.
TEST(Tabs, StoredTabsAreShownExpanded) {
  auto m = BaseModel();
  m->SetTabStops("3");
  m->SetOption(soUseTabCharacter, true);
  m->Lines().Add("ab\tc");
  EXPECT_EQ(m->Lines().Get(0) + "|" + m->LineText(0), "ab c|ab c");
  EXPECT_EQ(m->LineLength(0), 4);
  EXPECT_EQ(m->StoredLine(0), "ab\tc");
}

TEST(Options, SmartTabAndTabCharactersExcludeEachOther) {
  auto m = BaseModel();
  m->SetOption(soUseTabCharacter, true);
  EXPECT_FALSE(m->Has(soSmartTab));
  m->SetOption(soSmartTab, true);
  EXPECT_FALSE(m->Has(soUseTabCharacter));
  // Both in one assignment: the tab characters that are added win.
  m->SetOptions(TStringsOptions{soSmartTab, soUseTabCharacter});
  EXPECT_TRUE(m->Has(soUseTabCharacter) && !m->Has(soSmartTab));
}

} // namespace
} // namespace marlo::test
