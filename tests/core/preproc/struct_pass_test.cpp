#include "core/preproc/struct_pass.h"
#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;

const Lines kExample = {"TYPE vec",         "x y", "pos(3)", "ENDTYPE", "DIMTYPE vec, a, b(10)",
                        "b(2).pos(1) = a.y"};

TEST(StructPass, ExampleCollectsThenReplacesByteForByte) {
  preproc::TPreprocContext context;
  context.Texts = preproc::TPreprocTexts::FromLanguage(KeyLanguage());
  preproc::TStructPass pass;
  Lines collected, replaced;
  ASSERT_TRUE(pass.Collect(kExample, collected, context));
  EXPECT_EQ(collected,
            (Lines{"REM Removed by Marlo - TYPE found \"TYPE vec\"", "` Marlo DIMs for instance a",
                   "DIM a_x(1,1)", "DIM a_y(1,1)", "DIM a_pos(1,3)", "` Marlo DIMs for instance b",
                   "DIM b_x(10,1)", "DIM b_y(10,1)", "DIM b_pos(10,3)", "b(2).pos(1) = a.y"}));
  ASSERT_TRUE(pass.Replace(collected, replaced, context));
  EXPECT_EQ(replaced, (Lines{"REM Removed by Marlo - TYPE found \"TYPE vec\" ",
                             "` Marlo DIMs for instance a", "DIM a_x(1,1) ", "DIM a_y(1,1) ",
                             "DIM a_pos(1,3) ", "` Marlo DIMs for instance b", "DIM b_x(10,1) ",
                             "DIM b_y(10,1) ", "DIM b_pos(10,3) ", "b_pos(2,1) = a_y(1,1) "}));

  TRun run = Structs(kExample);
  ASSERT_FALSE(run.Failed);
  EXPECT_EQ(run.Output, replaced);
  EXPECT_EQ(run.Status, (Lines{"PreCheckTypes", "PreReplaceTypes"}));
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
  preproc::TPreprocContext context;
  context.Texts = preproc::TPreprocTexts::FromLanguage(KeyLanguage());
  preproc::TStructPass pass;
  Lines collected;
  ASSERT_TRUE(
      pass.Collect({"TYPEWRITER", "a", "ENDTYPE", "TYPE (x)", "b", "endtype"}, collected, context));
  ASSERT_EQ(pass.TypeCount(), 2);
  EXPECT_EQ(pass.Type(0).Name, "WRITER");
  EXPECT_EQ(pass.Type(1).Name, "");
  EXPECT_EQ(collected, (Lines{"REM Removed by Marlo - TYPE found \"TYPEWRITER\"",
                              "REM Removed by Marlo - TYPE found \"TYPE (x)\""}));
}

TEST(StructPass, ReferencesCaseStringsAndRemarks) {
  const Lines head = {"TYPE vec", "x", "pos(3)", "ENDTYPE", "DIMTYPE vec, a, b(10)"};
  auto last = [&](const std::string& line) {
    Lines source = head;
    source.push_back(line);
    TRun run = Structs(source);
    EXPECT_FALSE(run.Failed) << line << ": " << run.ErrorText;
    return run.Failed ? run.ErrorText : run.Output.back();
  };
  EXPECT_EQ(last("A.X = 1"), "A_X(1,1) = 1 ");
  EXPECT_EQ(last("PRINT a.x;b(i+(2)).POS(j)"), "PRINT a_x(1,1);b_POS(i+(2),j) ");
  EXPECT_EQ(last("b(\")\").x"), "b_x(\")\",1) ");
  EXPECT_EQ(last("b(a.x).pos(a.x)"), "b_pos(a.x,a_x(1,1)) ");
  EXPECT_EQ(last("PRINT \"a.x\" + a.x"), "PRINT \"a.x\" + a_x(1,1) ");
  EXPECT_EQ(last("x = 1 REM a.nosuch"), "x = 1 REM a.nosuch ");
  EXPECT_EQ(last("x = 1 rem: a"), "x = 1 rem: a ");
  EXPECT_EQ(last("xa.y a_x ab.x"), "xa.y a_x ab.x ");
  EXPECT_EQ(last("`a"), "`a"); // remark lines are copied as they are
  EXPECT_EQ(last("  "), "  ");

  // A remark block lasts across lines; a mid-line "`" means nothing here.
  Lines source = head;
  source.insert(source.end(), {"x REMSTART", "a.nosuch", "REMEND a.x", "y `a.x"});
  TRun run = Structs(source);
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(Lines(run.Output.end() - 4, run.Output.end()),
            (Lines{"x REMSTART ", "a.nosuch ", "REMEND a_x(1,1) ", "y `a_x(1,1) "}));

  // Collecting: remark blocks and remark lines hide TYPE and DIMTYPE.
  run = Structs({"REMSTART", "TYPE t", "REMEND", "` TYPE u", "TYPE v", "f", "ENDTYPE"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"REMSTART ", "TYPE t ", "REMEND ", "` TYPE u",
                               "REM Removed by Marlo - TYPE found \"TYPE v\" "}));
}

struct ErrorCase {
  Lines Source;
  std::string Message;
  int Line;
};

TEST(StructPass, ErrorsAndTheirLines) {
  const Lines head = {"TYPE vec", "x", "pos(3)", "ENDTYPE", "DIMTYPE vec, a, b(10)"};
  auto with = [&](Lines more) {
    Lines source = head;
    source.insert(source.end(), more.begin(), more.end());
    return source;
  };
  const ErrorCase cases[] = {
      {{"TYPE"}, "PreErrorNoTypeName", 0},
      {{"x", "  TYPE   "}, "PreErrorNoTypeName", 1},
      {{"TYPE t", "a", "ENDTYPE", "type T", "b", "ENDTYPE"}, "PreErrorRedeclare T", 3},
      {{"TYPE t", "ENDTYPE"}, "PreErrorNoElementsDeclared", 1},
      {{"TYPE t", "a", "b"}, "PreErrorEndTypeExpected", 3},
      {{"TYPE t", "x, , y", "ENDTYPE"}, "PreErrorBlank", 1},
      {{"TYPE t", ", y", "ENDTYPE"}, "PreErrorBlank", 1},
      {{"TYPE t", "q(1,2,3,4,5)", "ENDTYPE"}, "PreErrorFourDims", 1},
      {{"TYPE t", "q(1,,2)", "ENDTYPE"}, "PreErrorBlank", 1},
      {{"TYPE t", "q()", "ENDTYPE"}, "PreErrorDimensionExpected", 1},
      {{"TYPE t", "q(1", "ENDTYPE"}, "PreErrorParenExpected", 1},
      {{"TYPE t", "q)", "ENDTYPE"}, "PreErrorBadParen", 1},
      {{"TYPE t", "(3)", "ENDTYPE"}, "PreErrorBlank", 1},
      {{"TYPE t", "a b", "A", "ENDTYPE"}, "PreErrorRedeclare A", 2},
      {with({"DIMTYPE t, c(3,4)"}), "PreErrorNoTypeName", 5},
      {with({"DIMTYPE vec, c(3,4)"}), "PreErrorParenExpected", 5},
      {with({"DIMTYPE"}), "PreErrorNoTypeName", 5},
      {with({"DIMTYPE vec"}), "PreErrorNoTypeName", 5},
      {with({"DIMTYPE , c"}), "PreErrorNoTypeName", 5},
      {with({"DIMTYPE vec,"}), "PreErrorIdentExpected", 5},
      {with({"DIMTYPE vec, c,"}), "PreErrorIdentExpected", 5},
      {with({"DIMTYPE vec, c()"}), "PreErrorDimensionExpected", 5},
      {with({"DIMTYPE vec, (4)"}), "PreErrorIdentExpected", 5},
      {with({"DIMTYPE vec, c, A"}), "PreErrorRedeclare A", 5},
      // Replacing-step errors count the collected lines: the block is one line, each
      // instance a remark and one line per field.
      {with({"PRINT a"}), "PreErrorElementExpected", 7},
      {with({"a.nosuch = 1"}), "PreErrorElementExpected (nosuch)", 7},
      {with({"b.x = 1"}), "PreErrorParenExpected", 7},
      {with({"b(1 = 1"}), "PreErrorParenExpected", 7},
      {with({"b(1)x"}), "PreErrorElementExpected", 7},
      {with({"b(1).pos = 1"}), "PreErrorDimensionExpected", 7},
      {with({"a.pos"}), "PreErrorDimensionExpected", 7},
      {with({"x = a"}), "PreErrorElementExpected", 7},
      {with({"x = b"}), "PreErrorParenExpected", 7},
      {with({"x = b(1)"}), "PreErrorElementExpected", 7},
      {with({"x = a."}), "PreErrorElementExpected ()", 7},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.Source.back());
    ExpectFailure(Structs(c.Source), c.Message, c.Line);
  }
}

} // namespace
} // namespace marlo::test
