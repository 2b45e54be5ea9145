// The preprocessor driver: the order of the passes, stopping at an error, what the dialog
// offers, and replacing steps split in two halves that must give what one run gives.
#include "core/preproc/replace_halves.h"
#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

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
  EXPECT_EQ(Lines(run.Status.begin(), run.Status.begin() + 3),
            (Lines{"PreCheckTypes", "PreReplaceTypes", "PreCheckDefines"}));
  EXPECT_EQ(run.Status.back(), "preDone");
}

// How the error text counts lines after a structure pass, and what the command line prints,
// are pinned by tests/cli/preprocess_test.sh.
TEST(Preprocessor, AnErrorStopsTheRun) {
  TRun run =
      Preprocess({"a", "b", "c", "d", "e", "f", "x = sq", "DEFINE sq(1), %1"}, false, true, true);
  ExpectFailure(run, "PreErrorParamsExpected sq.", 6);
  for (const std::string& s : run.Status) EXPECT_NE(s, "PreCheckGlobals"); // not reached
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
  // A second activation runs nothing again.
  const size_t statusLines = p.Status().Count();
  EXPECT_FALSE(p.Activate({false, true, true}));
  EXPECT_EQ(p.Status().Count(), statusLines);
  EXPECT_EQ(p.Output(), Lines{"PRINT 1"});

  p.Run({"DEFINE x"}, {false, true, true});
  EXPECT_TRUE(p.Failed());
  EXPECT_EQ(p.Results(),
            (std::vector<TPreprocResult>{TPreprocResult::GotoError, TPreprocResult::Cancel}));
  EXPECT_EQ(preproc::TPreprocessor::ErrorTextLine(" #: 12. M"), 12);
  EXPECT_EQ(preproc::TPreprocessor::ErrorTextLine("12. M"), 0);
}

struct TSplitResult {
  bool Failed = false;
  std::string ErrorText;
  Lines Output;
};

// A run without status lines, with replacing steps split from `threshold` lines on.
TSplitResult RunSplit(const Lines& source, const preproc::TPreprocOptions& options,
                      size_t threshold) {
  const size_t saved = preproc::TReplaceHalves::Threshold;
  preproc::TReplaceHalves::Threshold = threshold;
  preproc::TPreprocessor p(KeyLanguage());
  p.KeepStatus(false);
  p.Run(source, options);
  preproc::TReplaceHalves::Threshold = saved;
  TSplitResult r{p.Failed(), p.ErrorText(), {}};
  if (!r.Failed) r.Output = p.Output();
  return r;
}

// The fuzz targets compare split and whole runs on arbitrary input; these are the sources
// where the halves must hand state across: a remark block open across the split, and
// errors in either half.
TEST(ReplaceHalves, SplitRunsGiveWhatOneRunGives) {
  const Lines sources[] = {
      {"TYPE v", "x y", "ENDTYPE", "DIMTYPE v, p, q(4)", "DEFINE sq(1), %1*%1", "GLOBAL g, h$",
       "g = sq(p.x) + q(2).y", "PRINT \"g p.x\" ` g p.x", "h$ = \"a\" : REM g = p.x", "  ",
       "IF g = TRUE THEN g = h$ + sq(g)", "g = q(1).x"},
      {"GLOBAL g", "DEFINE k, 7", "REMSTART", "g = k", "g = k", "g = k", "g = k", "REMEND",
       "g = k"},
      {"TYPE v", "x", "ENDTYPE", "DIMTYPE v, p", "REMSTART", "p.x", "p.x", "p.x", "p.x", "REMEND",
       "p.x"},
      {"DEFINE sq(1), %1*%1", "a = sq", "b = 1", "c = 2", "d = 3", "e = sq"},
      {"TYPE v", "x", "ENDTYPE", "DIMTYPE v, p", "PRINT p.x", "a = 1", "b = 2", "c = 3", "d = 4",
       "e = p.nosuch"},
  };
  for (const Lines& source : sources) {
    SCOPED_TRACE(source.back());
    for (int mask = 1; mask < 8; ++mask) {
      const preproc::TPreprocOptions options{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0};
      const TSplitResult whole = RunSplit(source, options, size_t(1) << 40);
      const TSplitResult split = RunSplit(source, options, 2);
      EXPECT_EQ(split.Failed, whole.Failed) << "passes " << mask;
      EXPECT_EQ(split.ErrorText, whole.ErrorText) << "passes " << mask;
      EXPECT_EQ(split.Output, whole.Output) << "passes " << mask;
    }
  }
}

} // namespace
} // namespace marlo::test
