#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;

TEST(GlobalPass, ExampleByteForByte) {
  TRun run = Globals({"GLOBAL score, lives#", "score = score + lives#"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output, (Lines{"dim score(1):dim lives#(1): rem Marlo global replacement",
                               "score(1) = score(1) + lives#(1)"}));
  EXPECT_EQ(run.Status,
            (Lines{"PreCheckGlobals", "PreAdding score", "PreAdding lives#",
                   "dim score(1):dim lives#(1): rem Marlo global replacement "
                   "PreReplacedDefinition",
                   "preReplacingGlobals", "PreReplaced score PreWidth score(1) PreAtLine 2.",
                   "PreReplaced score PreWidth score(1) PreAtLine 2.",
                   "PreReplaced lives# PreWidth lives#(1) PreAtLine 2.", "preDone"}));
}

TEST(GlobalPass, Declarations) {
  auto declared = [](const std::string& line) {
    TRun run = Globals({line});
    EXPECT_FALSE(run.Failed) << line << ": " << run.ErrorText;
    return run.Failed ? run.ErrorText : run.Output[0];
  };
  EXPECT_EQ(declared("GLOBAL a(10)"), "dim a10(1): rem Marlo global replacement");
  EXPECT_EQ(declared("globals x$ , y#,,z"),
            "dim s(1):dim x$(1):dim y#(1):dim z(1): rem Marlo global replacement");
  EXPECT_EQ(declared("  Global\ta.b"), "dim ab(1): rem Marlo global replacement");

  // "GLOBAL" alone declares nothing, so the work lines come back exactly.
  TRun run = Globals({"GLOBAL", "  x  ", ""});
  ASSERT_FALSE(run.Failed);
  EXPECT_EQ(run.Output, (Lines{"GLOBAL", "  x  ", ""}));
  EXPECT_EQ(run.Status,
            (Lines{"PreCheckGlobals", " rem Marlo global replacement PreReplacedDefinition",
                   "PreNoneFound"}));
}

TEST(GlobalPass, References) {
  auto after = [](const std::string& line) {
    TRun run = Globals({"GLOBAL a, b$", line});
    EXPECT_FALSE(run.Failed) << line << ": " << run.ErrorText;
    return run.Failed ? run.ErrorText : run.Output[1];
  };
  EXPECT_EQ(after("a.b = a"), "a(1).b = a(1)");
  EXPECT_EQ(after("a(2) = A+b$"), "a(2) = A(1)+b$(1)");
  EXPECT_EQ(after("PRINT \"a\";a;\"a"), "PRINT \"a\";a(1);\"a");
  EXPECT_EQ(after("x=a `a"), "x=a(1) `a");
  EXPECT_EQ(after("x=a`a"), "x=a`a"); // the word before "`" is not examined
  EXPECT_EQ(after("x=a rem a"), "x=a(1) rem a");
  EXPECT_EQ(after("ab a_ a# b b$$"), "ab a_ a# b b$$");
  EXPECT_EQ(after("x=a\"a\"a"), "x=a\"a\"a(1)");

  TRun run =
      Globals({"a REMSTART a", "a \"a", "REMEND a", "GLOBAL a", "REMSTART", "GLOBAL b", "REMEND"});
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  EXPECT_EQ(run.Output,
            (Lines{"a(1) REMSTART a", "a \"a", "REMEND a(1)",
                   "dim a(1): rem Marlo global replacement", "REMSTART", "GLOBAL b", "REMEND"}));
}

TEST(GlobalPass, ErrorsAndTheirLines) {
  struct Case {
    Lines Source;
    std::string Message;
    int Line;
  };
  const Case cases[] = {
      {{"GLOBAL $"}, "PreErrorVarExpected $ PreFound", 0},
      {{"x", "GLOBAL a, #"}, "PreErrorVarExpected # PreFound", 1},
      {{"GLOBAL a$b"}, "PreErrorIllegalChar $ PreErrorFoundBeforeEnd", 0},
      {{"GLOBAL a#$"}, "PreErrorIllegalChar # PreErrorFoundBeforeEnd", 0},
      {{"GLOBAL a, A"}, "PreErrorRedeclare A", 0},
      {{"GLOBAL a", "", "GLOBAL b a"}, "PreErrorRedeclare a", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Source.back());
    ExpectFailure(Globals(c.Source), c.Message, c.Line);
  }
}

} // namespace
} // namespace marlo::test
