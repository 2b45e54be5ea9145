#include "naive_mask.h"

#include "core/search/line_matcher.h"
#include "core/search/search_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo {
namespace {

TEST(SearchMask, ElementsMatchAsTheLanguageSays) {
  struct Case {
    std::string pattern;
    bool caseSensitive;
    std::string line;
    int pos;
    int len; // -1: no match
  };
  const Case cases[] = {
      {"a", true, "a", 1, 1},
      {"a", true, "A", 1, -1},
      {".", true, "x", 1, 1},
      {".", true, "x", 2, -1},
      {"[abc]", true, "b", 1, 1},
      {"[^abc]", true, "b", 1, -1},
      {"[^abc]", true, "d", 1, 1},
      {"[a-c]+", true, "abcd", 1, 3},
      {"[-a]+", true, "-a-", 1, 3},
      {"[a-]+", true, "a-", 1, 2},
      {"[a-c-e]+", true, "b-e", 1, 3},
      {"[a-c-e]", true, "d", 1, -1},
      {"[--a]+", true, "-0a", 1, 3},
      {"[\\]\\-\\\\]+", true, "]-\\", 1, 3},
      {"[a^]+", true, "^a", 1, 2},
      {"[\\^]", true, "^", 1, 1},
      {"]-", true, "]-", 1, 2},
      {std::string("a\0b", 3), true, std::string("a\0b", 3), 1, 3},
      {"^a", true, "a", 1, 1},
      {"^a", true, "aa", 2, -1},
      {"a^", true, "a", 1, -1},
      {"{^a}*", true, "aa", 1, 1},
      {"a$", true, "a", 1, 1},
      {"a$", true, "ab", 1, -1},
      {"$", true, "ab", 3, 0},
      {"$", true, "ab", 2, -1},
      {"a*", true, "aaab", 1, 3},
      {"a*", true, "b", 1, 0},
      {"a+", true, "b", 1, -1},
      {"a*a", true, "aaa", 1, 3},
      {"\\.+", true, "...x", 1, 3},
      {"\\*", true, "*", 1, 1},
      {"{ab}+", true, "ababa", 1, 4},
      {"{ab}*ab", true, "ababab", 1, 6},
      {"r{ab}+c", true, "rababc", 1, 6},
      {"{a*b}*", true, "abaabx", 1, 5},
      {"{}", true, "x", 1, 0},
      {"{}*x", true, "x", 1, 1},
      {"{a*}*b", true, "aab", 1, 3},
      {"{x*}*", true, "ab", 1, 0},
      {"{a*}+", true, "b", 1, 0},
      // A group is matched to its body's own first match and never gives part of it back.
      {"{a*}a", true, "aaa", 1, -1},
      {"{a.*}b", true, "axb", 1, -1},
      {"[0-9]+\\.[0-9]+", true, "12.50x", 1, 5},
      {".*z", true, "abzz1", 1, 4},
      {"abc", false, "aBC", 1, 3},
      {"[a-c]+", false, "CbA", 1, 3},
      {"[^a]", false, "A", 1, -1},
      {"\xE4", false, "\xC4", 1, 1}, // a and A with diaeresis
      {"\xC4", false, "\xE4", 1, 1},
      {"\xE4", true, "\xC4", 1, -1},
      {"[^\xE4]", false, "\xC4", 1, -1},
      {"[\xE0-\xFE]+", false, "\xC0\xC9\xD7", 1, 2}, // the multiplication sign is no letter
      {"\xFF", false, "\x9F", 1, 1},                 // y with diaeresis
      {"\xDF", false, "\xDF", 1, 1},                 // sharp s has no upper case
      {"[\x80-\xFF]+", true, "\x80\xFFx", 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern + " on " + c.line);
    EXPECT_EQ(TSearchMask(c.pattern, c.caseSensitive).MatchAt(c.line, c.pos), c.len);
  }
}

TEST(SearchMask, ErrorsNameTheFaultyPlace) {
  const std::pair<std::string, int> cases[] = {
      {"a**", 3},  {"*a", 1},    {"ab\\", 3},    {"x[ab", 2}, {"{ab", 1},  {"ab}", 3},
      {"a[]", 2},  {"[z-a]", 3}, {"{*}", 2},     {"+", 1},    {"^*", 2},   {"$+", 2},
      {"a*+", 3},  {"[^]", 1},   {"[]a]", 1},    {"[a\\", 3}, {"{a{b", 3}, {"{{a}", 1},
      {"[z-a", 3}, {"{a**}", 4}, {"[a-\\]]", 3}, {"\\", 1},   {"{}}", 3},  {"{[}", 2},
  };
  for (const auto& [pattern, position] : cases) {
    SCOPED_TRACE(pattern);
    try {
      TSearchMask mask(pattern, true);
      ADD_FAILURE() << "accepted";
    } catch (const TSearchMaskError& e) {
      EXPECT_EQ(e.Position, position);
      EXPECT_EQ(e.Pattern, pattern);
      EXPECT_EQ(std::string(e.what()),
                pattern + " is invalid mask at (" + std::to_string(position) + ")");
    }
  }
  EXPECT_THROW(TLineMatcher("a**", true, false, true, {}), Error);
  EXPECT_NO_THROW(TLineMatcher("a**", true, false, false, {}));
}

// The work of a search over a whole line stays within a constant times the nodes times the
// positions, however the pattern nests its repetitions: backtracking gives up in time. (The
// masks end in [^a], not in a byte missing from the line, which would rule out every start.)
TEST(SearchMask, WorkIsBoundedByNodesTimesPositions) {
  const char* patterns[] = {"{a*}*[^a]",      ".*.*.*.*.*[^a]",  "{{a*}*}*[^a]",
                            "{a+}+{a*}*[^a]", "a*a*a*a*a*[^a]",  "{.*}*[^a]",
                            "{.*a}*[^a]",     "{a*{a}*}*a*[^a]", "{{a}+}+$a",
                            "{a*}{a*}[^a]",   "^{a*}*a*{}[^a]",  "{a*.*}+{.*}*[^a]"};
  const std::string line(3000, 'a');
  const int n = static_cast<int>(line.size());
  std::bitset<256> delimiters;
  delimiters.set(' ');
  for (const char* pattern : patterns) {
    SCOPED_TRACE(pattern);
    const TSearchMask mask(pattern, true);
    const std::size_t bound = std::size_t{6} * static_cast<std::size_t>(mask.Nodes()) * (n + 1);
    for (const bool forward : {true, false}) {
      TLineMatcher matcher(pattern, true, false, true, delimiters);
      THit hit{};
      EXPECT_FALSE(matcher.Find(line, forward ? 1 : n + 1, forward, true, hit));
      EXPECT_LE(matcher.Steps(), bound);
      EXPECT_GT(matcher.Steps(), static_cast<std::size_t>(n));
    }
  }
  // Nesting costs no recursion, in reading or in matching.
  const std::string deep = std::string(5000, '{') + "a*" + std::string(5000, '}') + "b";
  EXPECT_EQ(TSearchMask(deep, true).MatchAt("aab", 1), 3);
  std::string runs = std::string(5000, '{') + "a*";
  for (int i = 0; i < 5000; ++i) runs += "}*";
  EXPECT_EQ(TSearchMask(runs + "b", true).MatchAt(std::string(100, 'a'), 1), -1);
  try {
    TSearchMask open(std::string(10'000, '{'), true);
    ADD_FAILURE() << "accepted";
  } catch (const TSearchMaskError& e) {
    EXPECT_EQ(e.Position, 10'000);
  }
}

// A long search stops when the cancel poll says so, and one that would outgrow the memory a
// search may take stops with an error instead of taking it.
TEST(SearchMask, LongSearchesStopCleanly) {
  const std::string line(200'000, 'a');
  TLineMatcher matcher(".*.*.*[^a]", true, false, true, {});
  THit hit{};
  // The third poll comes while backtracking, or, without it, while filling tables.
  for (const int backtracking : {TSearchMask::TLineRun::kBacktracking, 0}) {
    const test::TScopedBacktracking scoped(backtracking);
    int polls = 0;
    matcher.OnCancelPoll = [&] { return ++polls == 3; };
    EXPECT_THROW(matcher.Find(line, 1, true, false, hit), TSearchCancelled);
    EXPECT_EQ(polls, 3);

    polls = 0;
    matcher.OnCancelPoll = [&] { return ++polls < 0; };
    EXPECT_FALSE(matcher.Find(line, 1, true, false, hit));
    EXPECT_GT(polls, 3);
  }

  // Each start touches each group's results on a page of its own (plain backtracking would
  // get through without them).
  const test::TScopedBacktracking tables(0);
  std::string pattern = "b", spread;
  for (int i = 0; i < 200; ++i) pattern += "{x*}";
  pattern += "[^bx]";
  while (spread.size() < 200'000) spread += "b" + std::string(63, 'x');
  const TLineMatcher greedy(pattern, true, false, true, {});
  try {
    greedy.Find(spread, 1, true, false, hit);
    ADD_FAILURE() << "no error";
  } catch (const ESearchTooComplex& e) {
    EXPECT_EQ(e.LineLength, static_cast<int>(spread.size()));
    EXPECT_EQ(e.Pattern, pattern);
  }
  EXPECT_TRUE(greedy.Find("bxxc", 1, true, false, hit));
  EXPECT_EQ(hit.Len, 4);
}

} // namespace
} // namespace marlo
