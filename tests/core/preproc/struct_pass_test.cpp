// The structure pass: TYPE blocks become remarks, each DIMTYPE instance one array per field,
// and references to instance fields become references to those arrays. (The worked example
// is pinned byte for byte by tests/cli/preprocess_test.sh.)
#include "preproc_test_util.h"

#include <gtest/gtest.h>

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
  TRun run = Structs({"  type Thing extra words", "x y, pos(1, 2) vel( 3 )q", "m(1,2,3,4)",
                      "EndType", "dimtype THING, t1, t2( n+1 )"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output,
            (Lines{"REM Removed by Marlo - TYPE found \"type Thing extra words\" ",
                   "` Marlo DIMs for instance t1", "DIM t1_x(1,1) ", "DIM t1_y(1,1) ",
                   "DIM t1_pos(1,1,2) ", "DIM t1_vel(1,3) ", "DIM t1_q(1,1) ",
                   "DIM t1_m(1,1,2,3,4) ", "` Marlo DIMs for instance t2", "DIM t2_x(n+1,1) ",
                   "DIM t2_y(n+1,1) ", "DIM t2_pos(n+1,1,2) ", "DIM t2_vel(n+1,3) ",
                   "DIM t2_q(n+1,1) ", "DIM t2_m(n+1,1,2,3,4) "}));

  // TYPE followed by any letters opens a block; the type name is the leading word run.
  run = Structs({"TYPEWRITER", "a", "ENDTYPE", "TYPE (x)", "b", "endtype", "DIMTYPE writer, w"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REM Removed by Marlo - TYPE found \"TYPEWRITER\" ",
                               "REM Removed by Marlo - TYPE found \"TYPE (x)\" ",
                               "` Marlo DIMs for instance w", "DIM w_a(1,1) "}));

  // Remark blocks and remark lines hide TYPE and DIMTYPE.
  run = Structs({"REMSTART", "TYPE t", "REMEND", "` TYPE u", "TYPE v", "f", "ENDTYPE"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
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
  for (const auto& [line, expected] : cases) {
    const TRun run = Structs(WithHead({line}));
    ASSERT_FALSE(run.Failed) << line << ": " << run.ErrorText;
    EXPECT_EQ(run.Output.back(), expected) << line;
  }

  // A remark block lasts across lines; a mid-line "`" means nothing here.
  TRun run = Structs(WithHead({"x REMSTART", "a.nosuch", "REMEND a.x", "y `a.x"}));
  ASSERT_FALSE(run.Failed) << run.ErrorText;
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

} // namespace
} // namespace marlo::test
