#include "core/syntax/my_parser.h"
#include "naive_highlighter.h"

#include <gtest/gtest.h>

#include <random>

namespace marlo {
namespace {

struct TColored {
  std::string Digits;
  int EndState;
};

TColored Color(TMyParser& parser, const std::string& line, int state = 0) {
  std::string colors(line.size(), '\0');
  TColored r;
  r.EndState = parser.ColorString(line, state, colors);
  for (char c : colors) r.Digits += static_cast<char>('0' + c);
  return r;
}

std::string Digits(TMyParser& parser, const std::string& line, int state = 0) {
  return Color(parser, line, state).Digits;
}

TEST(MyParser, Remarks) {
  TMyParser p({"print"});
  EXPECT_EQ(Digits(p, "rem"), "222");
  EXPECT_EQ(Digits(p, "Rem hello"), "222222222");
  EXPECT_EQ(Digits(p, "a=1:rem x"), "304022222");
  EXPECT_EQ(Digits(p, "REM\tx"), "33303"); // a tab does not make a remark
  EXPECT_EQ(Digits(p, "REMARK x"), "33333303");
  EXPECT_EQ(Digits(p, "`note \"x\""), "222222222");
  EXPECT_EQ(Digits(p, "a `b\x01"
                      "c"),
            "30220"
            "3"); // a control character ends it
}

TEST(MyParser, RemarkBlocks) {
  TMyParser p({"print"});
  TColored open = Color(p, "x REMSTART y");
  EXPECT_EQ(open.Digits, "302222222222");
  EXPECT_EQ(open.EndState, TMyParser::kInRemarkBlock);
  // Opened and "closed" on one line: the whole rest is one remark and the block stays open.
  EXPECT_EQ(Color(p, "remstart remend").EndState, TMyParser::kInRemarkBlock);
  EXPECT_EQ(Color(p, "remstart").EndState, TMyParser::kInRemarkBlock);
  EXPECT_EQ(Color(p, "remstarts").EndState, 0);

  TColored inside = Color(p, "print \"x\" 1", 2);
  EXPECT_EQ(inside.Digits, "22222222222");
  EXPECT_EQ(inside.EndState, 2);
  TColored end = Color(p, "  remend: print 1", 2);
  EXPECT_EQ(end.Digits, "22222222006666604");
  EXPECT_EQ(end.EndState, 0);
  EXPECT_EQ(Color(p, "xREMEND", 2).EndState, 0);
  EXPECT_EQ(Color(p, "REMENDS", 2).EndState, 2);
  EXPECT_EQ(Color(p, "remend x", 2).Digits, "22222203");
  // Control characters inside a block are skipped unstyled.
  EXPECT_EQ(Color(p,
                  "a\x02"
                  "b",
                  2)
                .Digits,
            "202");
  // An empty line keeps the block open.
  std::string none;
  EXPECT_EQ(p.ColorString("", 2, none), 2);
}

TEST(MyParser, WordsAndKeywords) {
  TMyParser p({"print", "sin", "str$", "sync on", "#include", "make object cube", "name$"});
  EXPECT_EQ(Digits(p, "print (5)"), "666660040");
  EXPECT_EQ(Digits(p, "SIN(x)"), "666030");
  EXPECT_EQ(Digits(p, "str$(1)"), "6666040");
  EXPECT_EQ(Digits(p, "SYNC ON"), "6666666");
  EXPECT_EQ(Digits(p, "sync  on"), "33330033"); // the spacing must match
  EXPECT_EQ(Digits(p, "Make Object Cube 1,2"), "66666666666666660404");
  EXPECT_EQ(Digits(p, "make object"), "33330333333");
  EXPECT_EQ(Digits(p, "#include x"), "666666660"
                                     "3");
  EXPECT_EQ(Digits(p, "#define"), "3333333");
  EXPECT_EQ(Digits(p, "name$"), "66666");
  EXPECT_EQ(Digits(p, "title$"), "33333"
                                 "0");
  EXPECT_EQ(Digits(p, "printer"), "3333333");
  EXPECT_EQ(Digits(p, "x=print"), "3066666");
  EXPECT_EQ(Digits(p, "_a1 b_"), "333033");

  TMyParser syncOnly({"sync"});
  EXPECT_EQ(Digits(syncOnly, "SYNC ON"), "6666033");
}

TEST(MyParser, KeywordListLinesAreTakenAsTheyStand) {
  // Trailing blanks are compared too; a leading blank never matches; case never matters.
  TMyParser p({"print ", " goto", "", "PrInT"});
  EXPECT_EQ(Digits(p, "print a"), "666660"
                                  "3");
  EXPECT_EQ(Digits(p, "goto"), "3333");
  EXPECT_TRUE(p.IsKeywordText("PRINT "));
  EXPECT_TRUE(p.IsKeywordText("print"));
  EXPECT_FALSE(p.IsKeywordText("goto"));
  // "print " matches where the word run itself ends in the space.
  EXPECT_EQ(Digits(p, "print "), "666666");
}

TEST(MyParser, NumbersAndStrings) {
  TMyParser p;
  EXPECT_EQ(Digits(p, "1.5e+3"), "555555");
  EXPECT_EQ(Digits(p, "3.14e-2"), "5555555");
  EXPECT_EQ(Digits(p, "2e"), "55");
  EXPECT_EQ(Digits(p, "7E"), "55");
  EXPECT_EQ(Digits(p, "12abc"), "44333");
  EXPECT_EQ(Digits(p, "1."), "40");
  EXPECT_EQ(Digits(p, ".5"), "04");
  EXPECT_EQ(Digits(p, "\"say\"\"hi\""), "111111111");
  EXPECT_EQ(Digits(p, "x \"open"), "3011111");
  EXPECT_EQ(Digits(p, "\"a\" + \"b\""), "111000111");
  EXPECT_EQ(Digits(p, "\"a\tb\"x"), "111113");
}

TEST(MyParser, CaseIsFoldedByTableNotLocale) {
  // Letters of the code page fold through the fixed table (0xE9 is e acute, 0xC9 its capital).
  TMyParser p({"caf\xE9"});
  EXPECT_TRUE(p.IsKeywordText("CAF\xC9"));
  EXPECT_FALSE(p.IsKeywordText("CAFE"));
}

TEST(MyParser, KeywordFileLines) {
  EXPECT_EQ(SplitKeywordLines("a\r\nb c \r\n\r\nd"),
            (std::vector<std::string>{"a", "b c ", "", "d"}));
  EXPECT_EQ(SplitKeywordLines("a\nb\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitKeywordLines("a\rb\n\rc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitKeywordLines(std::string("a\nb\0c\nd", 7)), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(SplitKeywordLines("").empty());
}

// The highlighter must give exactly what the plainly written rules give, on lines built
// to hit the awkward places: runs of words and spaces, parentheses, remarks, quotes.
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

TEST(MyParser, LongRunsOfWordsCostNoMoreThanTheirLength) {
  // One megabyte of short words is coloured like any other text (a quadratic scan would
  // not finish); the styles are those of the plain rules on a shorter sample.
  TMyParser p({"a b c d e f g", "print"});
  std::string line;
  while (line.size() < (1u << 20)) line += "zz print (q) ";
  std::string colors(line.size(), '\0');
  EXPECT_EQ(p.ColorString(line, 0, colors), 0);
  EXPECT_EQ(colors.substr(0, 13), std::string("\3\3\0\6\6\6\6\6\0\0\3\0\0", 13));
}

} // namespace
} // namespace marlo
