// The preprocessor: the structure pass (TYPE blocks become remarks, each DIMTYPE instance
// one array per field, references to instance fields references to those arrays), the
// DEFINE and GLOBAL passes (built-in names, definitions with and without parameters,
// globals as one-element arrays, what they leave alone), the errors of each, the order of
// the passes. Every run is checked against one split in halves. What the command line
// prints, status lines in the shipped texts among it, is pinned by tests/cli/cli_test.sh;
// the buttons the dialog offers after a run, and the line its error text names, by the
// fuzz targets (fuzz/preproc_fuzz_util.h).
#include "preproc_test_util.h"

#include <gtest/gtest.h>

#include <tuple>

namespace marlo::test {
namespace {

const Lines kHead = {"TYPE vec", "x", "pos(3)", "ENDTYPE", "DIMTYPE vec, a, b(10)"};

Lines WithHead(const Lines& more) {
  Lines source = kHead;
  source.insert(source.end(), more.begin(), more.end());
  return source;
}

TEST(StructPass, DeclarationsAndGeneratedArrays) {
  // Field lines split at blanks and commas outside parentheses; a ")" ends a declaration.
  // Instances without a size: the references below and the order of the passes.
  TRun run = Structs({"  type Thing extra words", "x y, pos(1, 2) vel( 3 )q", "m(1,2,3,4)",
                      "EndType", "dimtype THING, t2( n+1 )"});
  EXPECT_EQ(run.Output, (Lines{"REM Removed by Marlo - TYPE found \"type Thing extra words\" ",
                               "` Marlo DIMs for instance t2", "DIM t2_x(n+1,1) ",
                               "DIM t2_y(n+1,1) ", "DIM t2_pos(n+1,1,2) ", "DIM t2_vel(n+1,3) ",
                               "DIM t2_q(n+1,1) ", "DIM t2_m(n+1,1,2,3,4) "}));

  // TYPE followed by any letters opens a block; the type name is the leading word run.
  run = Structs({"TYPEWRITER", "a", "ENDTYPE", "TYPE (x)", "b", "endtype", "DIMTYPE writer, w"});
  EXPECT_EQ(run.Output, (Lines{"REM Removed by Marlo - TYPE found \"TYPEWRITER\" ",
                               "REM Removed by Marlo - TYPE found \"TYPE (x)\" ",
                               "` Marlo DIMs for instance w", "DIM w_a(1,1) "}));

  // Remark blocks and remark lines hide TYPE and DIMTYPE.
  run = Structs({"REMSTART", "TYPE t", "REMEND", "` TYPE u", "TYPE v", "f", "ENDTYPE"});
  EXPECT_EQ(run.Output, (Lines{"REMSTART ", "TYPE t ", "REMEND ", "` TYPE u",
                               "REM Removed by Marlo - TYPE found \"TYPE v\" "}));
}

TEST(StructPass, ReferencesCaseStringsAndRemarks) {
  const std::pair<std::string, std::string> cases[] = {
      {"A.X = 1", "A_X(1,1) = 1 "},
      {"PRINT a.x;b(i+(2)).POS(j)", "PRINT a_x(1,1);b_POS(i+(2),j) "},
      {"b(\")\").x", "b_x(\")\",1) "},
      {"b(a.x).pos(a.x)", "b_pos(a.x,a_x(1,1)) "}, // the index is not rewritten
      {"PRINT \"a.x\" + a.x", "PRINT \"a.x\" + a_x(1,1) "},
      {"x = 1 REM a.nosuch", "x = 1 REM a.nosuch "},
      {"x = 1 rem: a", "x = 1 rem: a "},
      {"xa.y a_x ab.x", "xa.y a_x ab.x "},
      {"`a", "`a"}, // remark lines are copied as they are
      {"  ", "  "},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(Structs(WithHead({line})).Last(), expected);

  // A remark block lasts across lines; a mid-line "`" means nothing here.
  TRun run = Structs(WithHead({"x REMSTART", "a.nosuch", "REMEND a.x", "y `a.x"}));
  EXPECT_EQ(Lines(run.Output.end() - 4, run.Output.end()),
            (Lines{"x REMSTART ", "a.nosuch ", "REMEND a_x(1,1) ", "y `a_x(1,1) "}));
}

TEST(StructPass, ErrorsAndTheirLines) {
  ExpectFailures(
      {
          {{"TYPE"}, "PreErrorNoTypeName", 0},
          {{"x", "  TYPE   "}, "PreErrorNoTypeName", 1},
          {{"TYPE t", "a", "ENDTYPE", "type T", "b", "ENDTYPE"}, "PreErrorRedeclare T", 3},
          {{"TYPE t", "ENDTYPE"}, "PreErrorNoElementsDeclared", 1},
          {{"TYPE t", "a", "b"}, "PreErrorEndTypeExpected", 3},
          {{"TYPE t", "x, , y", "ENDTYPE"}, "PreErrorBlank", 1},
          {{"TYPE t", "q(1,2,3,4,5)", "ENDTYPE"}, "PreErrorFourDims", 1},
          {{"TYPE t", "q(1,,2)", "ENDTYPE"}, "PreErrorBlank", 1},
          {{"TYPE t", "q()", "ENDTYPE"}, "PreErrorDimensionExpected", 1},
          {{"TYPE t", "q(1", "ENDTYPE"}, "PreErrorParenExpected", 1},
          {{"TYPE t", "q)", "ENDTYPE"}, "PreErrorBadParen", 1},
          {{"TYPE t", "(3)", "ENDTYPE"}, "PreErrorBlank", 1},
          {{"TYPE t", "a b", "A", "ENDTYPE"}, "PreErrorRedeclare A", 2},
          {WithHead({"DIMTYPE t, c(3,4)"}), "PreErrorNoTypeName", 5},
          {WithHead({"DIMTYPE vec, c(3,4)"}), "PreErrorParenExpected", 5},
          {WithHead({"DIMTYPE vec"}), "PreErrorNoTypeName", 5},
          {WithHead({"DIMTYPE vec, c,"}), "PreErrorIdentExpected", 5},
          {WithHead({"DIMTYPE vec, c()"}), "PreErrorDimensionExpected", 5},
          {WithHead({"DIMTYPE vec, (4)"}), "PreErrorIdentExpected", 5},
          {WithHead({"DIMTYPE vec, c, A"}), "PreErrorRedeclare A", 5},
          // Replacing-step errors count the collected lines: the block is one line, each
          // instance a remark and one line per field.
          {WithHead({"PRINT a"}), "PreErrorElementExpected", 7},
          {WithHead({"a.nosuch = 1"}), "PreErrorElementExpected (nosuch)", 7},
          {WithHead({"b.x = 1"}), "PreErrorParenExpected", 7},
          {WithHead({"b(1).pos = 1"}), "PreErrorDimensionExpected", 7},
          {WithHead({"x = a."}), "PreErrorElementExpected ()", 7},
      },
      Structs);
}

TEST(DefinePass, RewritesOneLine) {
  const char* sq = "DEFINE sq(1), %1*%1";
  const char* two = "DEFINE two(2), %1%2";
  const char* a = "DEFINE a, 1";
  // The definition ("" for the built-in names alone), a line, what it becomes.
  const std::tuple<const char*, const char*, const char*> cases[] = {
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
  for (const auto& [define, line, expected] : cases)
    EXPECT_EQ(Defines(*define ? Lines{define, line} : Lines{line}).Last(), expected) << define;
  // A language file without the truth-value texts must not turn every empty word into
  // "(1)" or "(0)".
  const TRun run = Preprocess({"a  b", "x(,)"}, {false, true, false}, KeyLanguage(false));
  EXPECT_EQ(run.Output, (Lines{"a  b", "x(,)"}));
}

// Definitions apply to the lines before them too; a remark block lasts across lines and
// hides the DEFINE lines inside it.
TEST(DefinePass, DefinitionLinesAndRemarkBlocks) {
  TRun run = Defines({"y = sq(2)", "DEFINE sq( 1 ) , %1^2", "DEFINED x, 1", "z = sq(3) + D"});
  EXPECT_EQ(run.Output,
            (Lines{"y = 2^2", "REM : Marlo comment - DEFINE:sq( 1 ) , %1^2 (1) parameters.",
                   "REM : Marlo comment - DEFINE:D x, 1 (0) parameters.", "z = 3^2 + 1"}));
  run = Defines({"DEFINE a, 1", "a REMSTART a", "a \"a", "DEFINE b, 2", "REMEND a", "a b"});
  EXPECT_EQ(run.Output, (Lines{"REM : Marlo comment - DEFINE:a, 1 (0) parameters.", "1 REMSTART a",
                               "a \"a", "DEFINE b, 2", "REMEND 1", "1 b"}));
}

// PreErrorParamsExpected: the order of the passes and tests/cli/cli_test.sh.
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
  for (const auto& [source, expected] : cases) EXPECT_EQ(Globals(source).Last(), expected);

  // "GLOBAL" alone declares nothing, so the work lines come back exactly.
  TRun run = Globals({"GLOBAL", "  x  ", ""});
  EXPECT_EQ(run.Output, (Lines{"GLOBAL", "  x  ", ""}));
  EXPECT_EQ(run.Status.back(), "PreNoneFound");
  // A remark block hides uses and declarations alike.
  run =
      Globals({"a REMSTART a", "a \"a", "REMEND a", "GLOBAL a", "REMSTART", "GLOBAL b", "REMEND"});
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

TEST(Preprocessor, PassesRunInOrderOnEachOthersOutputAndStopAtAnError) {
  const Lines source = {"TYPE v",        "x",        "ENDTYPE",      "DIMTYPE v, p",
                        "DEFINE k, p.x", "GLOBAL g", "g = k + p.x ", "? g"};
  TRun run = Preprocess(source, {true, true, true});
  // The structure pass rewrites references everywhere, DEFINE texts included; the later
  // passes read its lines and trim the blanks it leaves.
  EXPECT_EQ(run.Output,
            (Lines{"REM Removed by Marlo - TYPE found \"TYPE v\"", "` Marlo DIMs for instance p",
                   "DIM p_x(1,1)", "REM : Marlo comment - DEFINE:k, p_x(1,1) (0) parameters.",
                   "dim g(1): rem Marlo global replacement", "g(1) = p_x(1,1) + p_x(1,1)",
                   "PRINT g(1)"}));
  EXPECT_EQ(Lines(run.Status.begin(), run.Status.begin() + 3),
            (Lines{"PreCheckTypes", "PreReplaceTypes", "PreCheckDefines"}));
  EXPECT_EQ(run.Status.back(), "preDone");

  run = Preprocess({"x = sq", "DEFINE sq(1), %1", "GLOBAL g"}, {false, true, true});
  EXPECT_EQ(run.ErrorText, " #: 1. PreErrorParamsExpected sq.");
  EXPECT_EQ(run.Status.back(), "PreError"); // the global pass is not reached
  for (const std::string& s : run.Status) EXPECT_NE(s, "PreCheckGlobals");
}

} // namespace
} // namespace marlo::test
