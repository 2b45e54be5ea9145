#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;
using preproc::TPreprocResult;

TEST(Preprocessor, PassesRunInOrderOnEachOthersOutput) {
  const Lines source = {"TYPE v",        "x",        "ENDTYPE",      "DIMTYPE v, p",
                        "DEFINE k, p.x", "GLOBAL g", "g = k + p.x ", "? g"};
  TRun run = Preprocess(source, true, true, true);
  ASSERT_FALSE(run.Failed) << run.ErrorText;
  // The structure pass rewrites references everywhere, DEFINE texts included; the later
  // passes read its lines and trim the blanks it leaves.
  EXPECT_EQ(run.Output,
            (Lines{"REM Removed by Marlo - TYPE found \"TYPE v\"", "` Marlo DIMs for instance p",
                   "DIM p_x(1,1)", "REM : Marlo comment - DEFINE:k, p_x(1,1) (0) parameters.",
                   "dim g(1): rem Marlo global replacement", "g(1) = p_x(1,1) + p_x(1,1)",
                   "PRINT g(1)"}));
  EXPECT_EQ(run.Status.front(), "PreCheckTypes");
  EXPECT_EQ(run.Status[1], "PreReplaceTypes");
  EXPECT_EQ(run.Status[2], "PreCheckDefines");
  EXPECT_EQ(run.Status.back(), "preDone");
}

TEST(Preprocessor, NoTypesLeavesTheLinesForTheNextPass) {
  TRun run = Preprocess({"? 1", "  "}, true, true, false);
  ASSERT_FALSE(run.Failed);
  EXPECT_EQ(run.Output, (Lines{"PRINT 1", ""}));
  EXPECT_EQ(Lines(run.Status.begin(), run.Status.begin() + 3),
            (Lines{"PreCheckTypes", "PreNoneFound", "PreCheckDefines"}));

  // The structure pass alone finds nothing and writes no output: a run ends with the
  // define or the global pass.
  run = Preprocess({"? 1"}, true, false, false);
  ASSERT_FALSE(run.Failed);
  EXPECT_TRUE(run.Output.empty());
  // With types found it is the last pass, and its lines keep their sentinel blank.
  run = Preprocess({"TYPE t", "f", "ENDTYPE", "PRINT 1"}, true, false, false);
  EXPECT_EQ(run.Output, (Lines{"REM Removed by Marlo - TYPE found \"TYPE t\" ", "PRINT 1 "}));
}

TEST(Preprocessor, ErrorsStopTheRunAndNameTheirLine) {
  TRun run =
      Preprocess({"a", "b", "c", "d", "e", "f", "x = sq", "DEFINE sq(1), %1"}, false, true, true);
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.ErrorText, " #: 7. PreErrorParamsExpected sq.");
  EXPECT_EQ(run.Status.back(), "PreError");
  for (const std::string& s : run.Status) EXPECT_NE(s, "PreCheckGlobals"); // not reached

  // After a structure pass that found types, later errors count its output lines.
  run =
      Preprocess({"TYPE t", "f", "g", "ENDTYPE", "DIMTYPE t, i", "GLOBAL j, J"}, true, true, true);
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.ErrorText, " #: 5. PreErrorRedeclare J");

  // A language file without the error's text still reports the error.
  TLanguageTable bare;
  run = Preprocess({"TYPE"}, true, false, true, bare);
  ASSERT_TRUE(run.Failed);
  EXPECT_EQ(run.ErrorText, " #: 1. ");
}

TEST(Preprocessor, ResultsTheDialogOffers) {
  const TLanguageTable language = KeyLanguage();
  preproc::TPreprocessor p(language);
  p.SetUp({"? 1"});
  EXPECT_EQ(p.Results(), std::vector<TPreprocResult>{TPreprocResult::Cancel});
  EXPECT_TRUE(p.Activate({false, true, false}));
  EXPECT_EQ(p.Results(), (std::vector<TPreprocResult>{
                             TPreprocResult::ReplaceSource, TPreprocResult::EditModified,
                             TPreprocResult::Continue, TPreprocResult::Cancel}));
  EXPECT_TRUE(p.ErrorText().empty());
  // A second activation runs nothing again.
  const size_t statusLines = p.Status().Count();
  EXPECT_FALSE(p.Activate({false, true, true}));
  EXPECT_EQ(p.Status().Count(), statusLines);
  EXPECT_EQ(p.Output(), Lines{"PRINT 1"});

  p.Run({"DEFINE x"}, {false, true, true});
  EXPECT_TRUE(p.Failed());
  EXPECT_EQ(p.Results(),
            (std::vector<TPreprocResult>{TPreprocResult::GotoError, TPreprocResult::Cancel}));
  EXPECT_FALSE(p.Offers(TPreprocResult::Continue));
  EXPECT_EQ(preproc::TPreprocessor::ErrorTextLine(p.ErrorText()), 1);
  EXPECT_EQ(preproc::TPreprocessor::ErrorTextLine(" #: 12. M"), 12);
  EXPECT_EQ(preproc::TPreprocessor::ErrorTextLine("12. M"), 0);

  // Each run starts from empty tables.
  p.Run({"x"}, {false, false, true});
  EXPECT_FALSE(p.Failed());
  EXPECT_EQ(p.GlobalPass().Count(), 0);
}

TEST(Preprocessor, LookupsFindTheFirstNameInAnyCase) {
  preproc::TNameTable table;
  for (int i = 0; i < 1000; ++i) table.Add("name" + std::to_string(i));
  EXPECT_EQ(table.Add("NAME7"), 1000); // a duplicate is stored but never found
  EXPECT_EQ(table.Find("Name7"), 7);
  EXPECT_EQ(table.Find("nAmE999"), 999);
  EXPECT_EQ(table.Find("name1000"), preproc::TNameTable::kNone);
  EXPECT_EQ(table.Find(""), preproc::TNameTable::kNone);
  table.Clear();
  EXPECT_EQ(table.Find("name7"), preproc::TNameTable::kNone);
}

} // namespace
} // namespace marlo::test
