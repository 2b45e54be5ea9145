#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;

// The output line for `line` after the given DEFINE lines.
std::string After(const Lines& defines, const std::string& line) {
  Lines source = defines;
  source.push_back(line);
  TRun run = Defines(source);
  EXPECT_FALSE(run.Failed) << line << ": " << run.ErrorText;
  return run.Failed ? run.ErrorText : run.Output.back();
}

TEST(DefinePass, BuiltInsAndWordDelimiters) {
  EXPECT_EQ(After({}, "? x"), "PRINT x");
  EXPECT_EQ(After({}, "IF a = TRUE THEN"), "IF a = (1) THEN");
  EXPECT_EQ(After({}, "IF a=TRUE THEN"), "IF a=TRUE THEN"); // "=" delimits no word
  EXPECT_EQ(After({}, "f(TRUE)"), "f(TRUE)");               // "TRUE)" is one word
  EXPECT_EQ(After({}, "f(TRUE, 2)"), "f((1), 2)");
  EXPECT_EQ(After({}, "x = false:y = True;z = ?"), "x = (0):y = (1);z = PRINT");
  EXPECT_EQ(After({}, "\tTRUE\t"), "\t(1)");
}

TEST(DefinePass, DefinitionsAndExpansion) {
  const Lines sq = {"DEFINE sq(1), %1*%1"};
  EXPECT_EQ(After(sq, "y = sq(a+1)"), "y = a+1*a+1");
  EXPECT_EQ(After(sq, "y = SQ( (a) )+1"), "y =  (a) * (a) +1");
  EXPECT_EQ(After(sq, "y = sq(\"a,)\")"), "y = \"a,)\"*\"a,)\"");
  EXPECT_EQ(After(sq, "y = sq(f(a)) + 1"), "y = f(a)*f(a) + 1");
  const Lines two = {"DEFINE two(2), %1%2"};
  EXPECT_EQ(After(two, "x = two(a, b)"), "x = a b");     // the blank belongs to the argument
  EXPECT_EQ(After(two, "x = two(sq,two)"), "x = sqtwo"); // the expansion is not rescanned
  EXPECT_EQ(After({"define  pi , 3.14159  "}, "x = pi * r"), "x = 3.14159 * r");
  EXPECT_EQ(After({"DEFINE sq (1), x"}, "y = sq"), "y = x");
  EXPECT_EQ(After({"DEFINE x y, 1"}, "x"), "1");
  EXPECT_EQ(After({"DEFINE msg, \"hi, there\""}, "PRINT msg"), "PRINT \"hi, there\"");
  EXPECT_EQ(After({"DEFINE nine(9), %9%8%7%6%5%4%3%2%1"}, "nine(1,2,3,4,5,6,7,8,9)"), "987654321");
  // A name is used before its DEFINE line as well as after it.
  TRun run = Defines({"y = sq(2)", "DEFINE sq( 1 ) , %1^2", "   ", "z = sq(3)"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output,
            (Lines{"y = 2^2", "REM : Marlo comment - DEFINE:sq( 1 ) , %1^2 (1) parameters.", "",
                   "z = 3^2"}));
  run = Defines({"DEFINED x, 1", "D"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REM : Marlo comment - DEFINE:D x, 1 (0) parameters.", "1"}));
}

TEST(DefinePass, StringsAndRemarksAreLeftAlone) {
  const Lines d = {"DEFINE a, 1"};
  EXPECT_EQ(After(d, "PRINT \"a b\" ; a"), "PRINT \"a b\" ; 1");
  EXPECT_EQ(After(d, "PRINT a \"a"), "PRINT 1 \"a");
  EXPECT_EQ(After(d, "x a`a a"), "x a`a a"); // a "`" ends the line, the word unexamined
  EXPECT_EQ(After(d, "x a rem a a"), "x 1 rem a a");
  EXPECT_EQ(After(d, "x a REM:a"), "x 1 REM:a");
  EXPECT_EQ(After(d, "x a\"b\"a ("), "x a\"b\"1 ("); // a quote drops the word before it
  TRun run = Defines({"DEFINE a, 1", "a REMSTART a", "a \"a", "` a", "REMEND a", "a"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REM : Marlo comment - DEFINE:a, 1 (0) parameters.", "1 REMSTART a",
                               "a \"a", "` a", "REMEND 1", "1"}));
  // A DEFINE inside a remark block defines nothing.
  run = Defines({"REMSTART", "DEFINE b, 2", "REMEND", "b"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REMSTART", "DEFINE b, 2", "REMEND", "b"}));
}

TEST(DefinePass, StatusLines) {
  TRun run = Defines({"DEFINE sq(1), %1*%1", "DEFINE k, 7", "? k; sq(2)", "rem ?"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Status,
            (Lines{"PreCheckDefines", "PreAdding sq",
                   "PreReplacedDefinitionREM : Marlo comment - DEFINE:sq(1), %1*%1 (1) parameters.",
                   "PreAdding k",
                   "PreReplacedDefinitionREM : Marlo comment - DEFINE:k, 7 (0) parameters.",
                   "preReplacingDefines", "PreReplaced ? PreWith PRINT PreAtLine 3.",
                   "PreReplaced k PreWith 7 PreAtLine 3.", "preDone"}));
}

TEST(DefinePass, ErrorsAndTheirLines) {
  struct Case {
    Lines Source;
    std::string Message;
    int Line;
  };
  const Case cases[] = {
      {{"x", "DEFINE x y"}, "PreErrorCommaExpected", 1},
      {{"DEFINE x:y, 1"}, "PreErrorCommaExpected", 0},
      {{"DEFINE x;y, 1"}, "PreErrorCommaExpected", 0},
      {{"DEFINE x(", "y"}, "PreErrorParamCount", 0},
      {{"DEFINE x(0), 1"}, "PreErrorParamCount", 0},
      {{"DEFINE x(a), 1"}, "PreErrorParamCount", 0},
      {{"DEFINE x(1"}, "PreErrorParenExpected", 0},
      {{"DEFINE x(12), 1"}, "PreErrorParenExpected", 0},
      {{"DEFINE x(1)"}, "PreErrorCommaAfterList", 0},
      {{"DEFINE"}, "PreErrorIdentExpected", 0},
      {{"DEFINE , 1"}, "PreErrorIdentExpected", 0},
      {{"DEFINE x"}, "PreErrorDefExpected", 0},
      {{"DEFINE x,   "}, "PreErrorDefExpected", 0},
      {{"DEFINE x, 1", "", "define X, 2"}, "PreErrorRedeclare X", 2},
      {{"DEFINE true, 2"}, "PreErrorRedeclare true", 0},
      {{"DEFINE ?, 2"}, "PreErrorRedeclare ?", 0},
      {{"DEFINE sq(1), %1*%1", "y = sq"}, "PreErrorParamsExpected sq.", 1},
      {{"DEFINE sq(1), %1*%1", "y = sq(1,2)"}, "sq PreExpects 1 PreParameters", 1},
      {{"DEFINE sq(2), %1*%2", "y = sq()"}, "sq PreExpects 2 PreParameters", 1},
      {{"DEFINE k, 1", "y = k(1)"}, "k PreExpects 0 PreParameters", 1},
      {{"DEFINE sq(1), %1*%1", "y = sq(1"}, "PreErrorUnbalancedParen sq.", 1},
      {{"DEFINE sq(1), %1*%1", "y = sq(\")\""}, "PreErrorUnbalancedParen sq.", 1},
      {{"DEFINE sq(1), %1*%1", "y = sq((1)"}, "PreErrorUnbalancedParen sq.", 1},
      {{"DEFINE sq(9), %1", "sq(1,2,3,4,5,6,7,8,9,10)"}, "sq PreExpects 9 PreParameters", 1},
      {{"DEFINE e(1), %2", "", "e(3)"}, "PreErrorUnknownParam %2.", 2},
      {{"DEFINE e(1), %x", "e(3)"}, "PreErrorUnknownParam %x.", 1},
      {{"DEFINE e(1), 100%", "e(3)"}, "PreErrorUnknownParam %.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Source.back());
    ExpectFailure(Defines(c.Source), c.Message, c.Line);
  }
}

TEST(DefinePass, EmptyTruthValueNamesAreLeftOut) {
  // A language file without the truth-value texts must not turn every empty word into
  // "(1)" or "(0)".
  TRun run = Preprocess({"a  b", "x(,)", "PRINT TRUE"}, false, true, false,
                        KeyLanguage(/*truthValues=*/false));
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"a  b", "x(,)", "PRINT TRUE"}));
}

TEST(DefinePass, OneOutputLinePerInputLine) {
  TRun run = Defines({"", "   ", "DEFINE a, 1", "REMSTART", "  ", "REMEND", "a", "`"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"", "", "REM : Marlo comment - DEFINE:a, 1 (0) parameters.",
                               "REMSTART", "", "REMEND", "1", "`"}));
}

} // namespace
} // namespace marlo::test
