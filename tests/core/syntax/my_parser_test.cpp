// The Zorbic highlighter. Its colours for remarks, remark blocks, strings, numbers and
// single- and multi-word keywords are pinned by the samples in tests/data/colors (see
// golden_colors_test.cpp); here it is compared with the plainly written rules.
#include "core/syntax/my_parser.h"
#include "naive_highlighter.h"

#include <gtest/gtest.h>

#include <random>

namespace marlo {
namespace {

TEST(MyParser, CaseIsFoldedByTableNotLocale) {
  // Letters of the code page fold through the fixed table (0xE9 is e acute, 0xC9 its capital).
  TMyParser p({"caf\xE9"});
  EXPECT_TRUE(p.IsKeywordText("CAF\xC9"));
  EXPECT_FALSE(p.IsKeywordText("CAFE"));
}

TEST(MyParser, KeywordFileLines) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitKeywordLines("a\r\nb c \r\n\r\nd"), (V{"a", "b c ", "", "d"}));
  EXPECT_EQ(SplitKeywordLines("a\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(SplitKeywordLines("a\rb\n\rc"), (V{"a", "b", "", "c"}));
  EXPECT_EQ(SplitKeywordLines(std::string("a\nb\0c\nd", 7)), (V{"a", "b"}));
  EXPECT_TRUE(SplitKeywordLines("").empty());
}

// The highlighter must give exactly what the plainly written rules give, on lines built
// to hit the awkward places: runs of words and spaces, parentheses, remarks, quotes.
// fuzz/fuzz_tokenizer.cpp does the same on any input.
TEST(MyParser, AgreesWithThePlainRulesOnRandomLines) {
  const std::vector<std::string> pieces = {
      "rem",  "REM ", "remstart", "remend", "REMEND:", "print", "sync", "on",   " ",    "  ",
      "(",    ")",    "\"",       "\"\"",   "`",       "1",     "2.5",  "e",    "E+",   ".",
      "$",    "#",    "&",        "|",      ":",       "\t",    "x",    "_",    "\x01", "\xE9",
      "sin(", "a b",  "make",     "object", "cube",    "=",     ",",    "REM\t"};
  const std::vector<std::string> keywords = {"print", "sync on", "sin", "make object cube", "make",
                                             "a b",   "x$",      "#x",  "print (",          "on|"};
  TMyParser fast(keywords);
  test::NaiveHighlighter plain(keywords);
  std::mt19937 rng(1234);
  for (int n = 0; n < 20000; ++n) {
    std::string line;
    int count = static_cast<int>(rng() % 12);
    for (int k = 0; k < count; ++k) line += pieces[rng() % pieces.size()];
    int state = (rng() % 3 == 0) ? 2 : 0;
    std::string expected;
    int expectedEnd = plain.ColorLine(line, state, expected);
    std::string actual(line.size(), '\0');
    int actualEnd = fast.ColorString(line, state, actual);
    if (line.empty()) actualEnd = state;
    ASSERT_EQ(actual, expected) << "line: " << line << " state " << state;
    ASSERT_EQ(actualEnd, expectedEnd) << "line: " << line;
  }
}

} // namespace
} // namespace marlo
