// The DEFINE and GLOBAL passes: the built-in names, definitions with and without
// parameters, globals as one-element arrays, what the passes leave alone, and their errors.
// Their status lines, in the shipped texts, are pinned by tests/cli/preprocess_test.sh.
#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

TEST(DefinePass, RewritesOneLine) {
  struct Case {
    const char* Define; // "" for the built-in names alone
    const char* Line;
    const char* Expected;
  };
  const char* sq = "DEFINE sq(1), %1*%1";
  const char* two = "DEFINE two(2), %1%2";
  const char* a = "DEFINE a, 1";
  const Case cases[] = {
      {"", "IF a = TRUE THEN", "IF a = (1) THEN"},
      {"", "IF a=TRUE THEN", "IF a=TRUE THEN"}, // "=" delimits no word
      {"", "f(TRUE)", "f(TRUE)"},               // "TRUE)" is one word
      {"", "f(TRUE, 2)", "f((1), 2)"},
      {"", "x = false:y = True;z = ?", "x = (0):y = (1);z = PRINT"},
      {"", "\tTRUE\t", "\t(1)"},
      {sq, "y = sq(a+1)", "y = a+1*a+1"},
      {sq, "y = SQ( (a) )+1", "y =  (a) * (a) +1"},
      {sq, "y = sq(\"a,)\")", "y = \"a,)\"*\"a,)\""},
      {two, "x = two(a, b)", "x = a b"},     // the blank belongs to the argument
      {two, "x = two(sq,two)", "x = sqtwo"}, // the expansion is not rescanned
      {"define  pi , 3.14159  ", "x = pi * r", "x = 3.14159 * r"},
      {"DEFINE sq (1), x", "y = sq", "y = x"},
      {"DEFINE x y, 1", "x", "1"},
      {"DEFINE msg, \"hi, there\"", "PRINT msg", "PRINT \"hi, there\""},
      {"DEFINE nine(9), %9%8%7%6%5%4%3%2%1", "nine(1,2,3,4,5,6,7,8,9)", "987654321"},
      {a, "PRINT \"a b\" ; a", "PRINT \"a b\" ; 1"},
      {a, "x a`a a", "x a`a a"}, // a "`" ends the line, the word before it unexamined
      {a, "x a rem a a", "x 1 rem a a"},
      {a, "x a REM:a", "x 1 REM:a"},
      {a, "x a\"b\"a (", "x a\"b\"1 ("}, // a quote drops the word before it
  };
  for (const Case& c : cases) {
    const TRun run = Defines(*c.Define ? Lines{c.Define, c.Line} : Lines{c.Line});
    ASSERT_FALSE(run.Failed) << c.Line << ": " << run.ErrorText;
    EXPECT_EQ(run.Output.back(), c.Expected) << c.Define << " / " << c.Line;
  }
}

TEST(DefinePass, DefinitionLinesRemarkBlocksAndUseBeforeTheDefinition) {
  TRun run = Defines({"y = sq(2)", "DEFINE sq( 1 ) , %1^2", "DEFINED x, 1", "z = sq(3) + D"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output,
            (Lines{"y = 2^2", "REM : Marlo comment - DEFINE:sq( 1 ) , %1^2 (1) parameters.",
                   "REM : Marlo comment - DEFINE:D x, 1 (0) parameters.", "z = 3^2 + 1"}));
  // A remark block lasts across lines and hides the DEFINE lines inside it.
  run = Defines({"DEFINE a, 1", "a REMSTART a", "a \"a", "DEFINE b, 2", "REMEND a", "a b"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REM : Marlo comment - DEFINE:a, 1 (0) parameters.", "1 REMSTART a",
                               "a \"a", "DEFINE b, 2", "REMEND 1", "1 b"}));
}

TEST(DefinePass, ErrorsAndTheirLines) {
  ExpectFailures(
      {
          {{"x", "DEFINE x y"}, "PreErrorCommaExpected", 1},
          {{"DEFINE x:y, 1"}, "PreErrorCommaExpected", 0},
          {{"DEFINE x(0), 1"}, "PreErrorParamCount", 0},
          {{"DEFINE x(1"}, "PreErrorParenExpected", 0},
          {{"DEFINE x(12), 1"}, "PreErrorParenExpected", 0},
          {{"DEFINE x(1)"}, "PreErrorCommaAfterList", 0},
          {{"DEFINE , 1"}, "PreErrorIdentExpected", 0},
          {{"DEFINE x,   "}, "PreErrorDefExpected", 0},
          {{"DEFINE x, 1", "", "define X, 2"}, "PreErrorRedeclare X", 2},
          {{"DEFINE true, 2"}, "PreErrorRedeclare true", 0},
          {{"DEFINE sq(1), %1*%1", "y = sq"}, "PreErrorParamsExpected sq.", 1},
          {{"DEFINE sq(1), %1*%1", "y = sq(1,2)"}, "sq PreExpects 1 PreParameters", 1},
          {{"DEFINE k, 1", "y = k(1)"}, "k PreExpects 0 PreParameters", 1},
          {{"DEFINE sq(9), %1", "sq(1,2,3,4,5,6,7,8,9,10)"}, "sq PreExpects 9 PreParameters", 1},
          {{"DEFINE sq(1), %1*%1", "y = sq(1"}, "PreErrorUnbalancedParen sq.", 1},
          {{"DEFINE sq(1), %1*%1", "y = sq(\")\""}, "PreErrorUnbalancedParen sq.", 1},
          {{"DEFINE e(1), %2", "", "e(3)"}, "PreErrorUnknownParam %2.", 2},
          {{"DEFINE e(1), 100%", "e(3)"}, "PreErrorUnknownParam %.", 1},
      },
      Defines);
}

TEST(DefinePass, EmptyTruthValueNamesAreLeftOut) {
  // A language file without the truth-value texts must not turn every empty word into
  // "(1)" or "(0)".
  TRun run = Preprocess({"a  b", "x(,)", "PRINT TRUE"}, false, true, false,
                        KeyLanguage(/*truthValues=*/false));
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"a  b", "x(,)", "PRINT TRUE"}));
}

TEST(GlobalPass, DeclarationsAndReferences) {
  const std::string rem = ": rem Marlo global replacement";
  const std::pair<Lines, std::string> cases[] = {
      {{"GLOBAL score, lives#"}, "dim score(1):dim lives#(1)" + rem},
      {{"GLOBAL a(10)"}, "dim a10(1)" + rem},
      {{"globals x$ , y#,,z"}, "dim s(1):dim x$(1):dim y#(1):dim z(1)" + rem},
      {{"  Global\ta.b"}, "dim ab(1)" + rem},
      {{"GLOBAL a, b$", "a.b = a"}, "a(1).b = a(1)"},
      {{"GLOBAL a, b$", "a(2) = A+b$"}, "a(2) = A(1)+b$(1)"},
      {{"GLOBAL a, b$", "PRINT \"a\";a;\"a"}, "PRINT \"a\";a(1);\"a"},
      {{"GLOBAL a, b$", "x=a `a"}, "x=a(1) `a"},
      {{"GLOBAL a, b$", "x=a`a"}, "x=a`a"}, // the word before "`" is not examined
      {{"GLOBAL a, b$", "x=a rem a"}, "x=a(1) rem a"},
      {{"GLOBAL a, b$", "ab a_ a# b b$$"}, "ab a_ a# b b$$"},
      {{"GLOBAL a, b$", "x=a\"a\"a"}, "x=a\"a\"a(1)"},
  };
  for (const auto& [source, expected] : cases) {
    const TRun run = Globals(source);
    ASSERT_FALSE(run.Failed) << source.back() << ": " << run.ErrorText;
    EXPECT_EQ(run.Output.back(), expected) << source.back();
  }

  // "GLOBAL" alone declares nothing, so the work lines come back exactly.
  TRun run = Globals({"GLOBAL", "  x  ", ""});
  ASSERT_FALSE(run.Failed);
  EXPECT_EQ(run.Output, (Lines{"GLOBAL", "  x  ", ""}));
  EXPECT_EQ(run.Status,
            (Lines{"PreCheckGlobals", " rem Marlo global replacement PreReplacedDefinition",
                   "PreNoneFound"}));

  // A remark block hides uses and declarations alike.
  run =
      Globals({"a REMSTART a", "a \"a", "REMEND a", "GLOBAL a", "REMSTART", "GLOBAL b", "REMEND"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"a(1) REMSTART a", "a \"a", "REMEND a(1)", "dim a(1)" + rem,
                               "REMSTART", "GLOBAL b", "REMEND"}));
}

TEST(GlobalPass, ErrorsAndTheirLines) {
  ExpectFailures(
      {
          {{"GLOBAL $"}, "PreErrorVarExpected $ PreFound", 0},
          {{"x", "GLOBAL a, #"}, "PreErrorVarExpected # PreFound", 1},
          {{"GLOBAL a$b"}, "PreErrorIllegalChar $ PreErrorFoundBeforeEnd", 0},
          {{"GLOBAL a#$"}, "PreErrorIllegalChar # PreErrorFoundBeforeEnd", 0},
          {{"GLOBAL a, A"}, "PreErrorRedeclare A", 0},
          {{"GLOBAL a", "", "GLOBAL b a"}, "PreErrorRedeclare a", 2},
      },
      Globals);
}

} // namespace
} // namespace marlo::test
