#include "core/preproc/replace_halves.h"
#include "preproc_test_util.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

using Lines = std::vector<std::string>;

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

// Every combination of passes gives, split, what one run from the top gives.
void ExpectSameSplit(const Lines& source) {
  for (int mask = 1; mask < 8; ++mask) {
    const preproc::TPreprocOptions options{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0};
    const TSplitResult whole = RunSplit(source, options, size_t(1) << 40);
    const TSplitResult split = RunSplit(source, options, 2);
    EXPECT_EQ(split.Failed, whole.Failed) << "passes " << mask;
    EXPECT_EQ(split.ErrorText, whole.ErrorText) << "passes " << mask;
    EXPECT_EQ(split.Output, whole.Output) << "passes " << mask;
  }
}

TEST(ReplaceHalves, SplitRunsGiveWhatOneRunGives) {
  ExpectSameSplit({"TYPE v", "x y", "ENDTYPE", "DIMTYPE v, p, q(4)", "DEFINE sq(1), %1*%1",
                   "GLOBAL g, h$", "g = sq(p.x) + q(2).y", "PRINT \"g p.x\" ` g p.x",
                   "h$ = \"a\" : REM g = p.x", "  ", "IF g = TRUE THEN g = h$ + sq(g)",
                   "g = q(1).x"});
  // A remark block opened in the first half and closed in the second: the second half is
  // done again from the state the first left.
  const Lines block = {"GLOBAL g", "DEFINE k, 7", "REMSTART", "g = k", "g = k",
                       "g = k",    "g = k",       "REMEND",   "g = k"};
  ExpectSameSplit(block);
  const TSplitResult r = RunSplit(block, {false, true, true}, 2);
  ASSERT_FALSE(r.Failed) << r.ErrorText;
  EXPECT_EQ(r.Output[5], "g = k");
  EXPECT_EQ(r.Output[6], "g = k");
  EXPECT_EQ(r.Output[8], "g(1) = 7");
  const Lines structBlock = {"TYPE v", "x",   "ENDTYPE", "DIMTYPE v, p", "REMSTART", "p.x",
                             "p.x",    "p.x", "p.x",     "REMEND",       "p.x"};
  ExpectSameSplit(structBlock);
  const TSplitResult t = RunSplit(structBlock, {true, false, false}, 2);
  ASSERT_FALSE(t.Failed) << t.ErrorText;
  EXPECT_EQ(t.Output[7], "p.x ");
  EXPECT_EQ(t.Output[9], "p_x(1,1) ");
}

TEST(ReplaceHalves, TheFirstErrorInLineOrderWins) {
  // Errors in both halves, and in the second only, for each pass that can fail there.
  const Lines defines = {"DEFINE sq(1), %1*%1", "a = sq", "b = 1", "c = 2", "d = 3", "e = sq"};
  ExpectSameSplit(defines);
  EXPECT_EQ(RunSplit(defines, {false, true, false}, 2).ErrorText.substr(0, 7), " #: 2. ");
  const Lines late = {"DEFINE sq(1), %1*%1", "a = 1", "b = 1", "c = 2", "d = 3", "e = sq"};
  ExpectSameSplit(late);
  EXPECT_EQ(RunSplit(late, {false, true, false}, 2).ErrorText.substr(0, 7), " #: 6. ");

  const Lines structs = {"TYPE v", "x",     "ENDTYPE", "DIMTYPE v, p", "PRINT p",
                         "a = 1",  "b = 2", "c = 3",   "d = 4",        "e = p.nosuch"};
  ExpectSameSplit(structs);
  const Lines lateStruct = {"TYPE v", "x",     "ENDTYPE", "DIMTYPE v, p", "PRINT p.x",
                            "a = 1",  "b = 2", "c = 3",   "d = 4",        "e = p.nosuch"};
  ExpectSameSplit(lateStruct);
  // The structure pass numbers its own pass lines: the block became one, the instance two.
  EXPECT_EQ(RunSplit(lateStruct, {true, false, false}, 2).ErrorText.substr(0, 7), " #: 9. ");
}

} // namespace
} // namespace marlo::test
