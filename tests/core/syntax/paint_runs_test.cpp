// Cutting a line into the runs a view draws.
#include "core/syntax/paint_runs.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo {
namespace {

// Styles 0, 3 and 7 look alike; 1 has its own colours on the same font; 2 has its own
// font; 6 shares style 0's colours but is shown in capitals.
TPaintRuns DocumentLikeRuns() {
  std::array<TRunLook, TPaintRuns::kNoStyle + 1> looks;
  looks.fill({0, clBlack, clWhite, false});
  looks[1] = {0, clPurple, clWhite, false};
  looks[2] = {1, clGreen, clSilver, false};
  looks[6] = {0, clBlack, clWhite, true};
  TPaintRuns runs;
  runs.SetLooks(looks);
  return runs;
}

struct R {
  int From, To, Style;
  TRunState State;
  bool operator==(const R&) const = default;
};

std::vector<R> Split(const TPaintRuns& runs, const std::string& styles, int from, int to,
                     TColumnSpan sel = {}, TColumnSpan found = {}) {
  std::vector<TPaintRun> out;
  runs.Split(styles, from, to, sel, found, out);
  std::vector<R> result;
  for (const TPaintRun& r : out) result.push_back({r.From, r.To, r.Style, r.State});
  return result;
}

TEST(PaintRuns, AlikeStylesJoinAndOthersSplit) {
  TPaintRuns runs = DocumentLikeRuns();
  // "a = 1 ' x" as whitespace, identifier, delimiter, string, comment bytes.
  std::string styles = std::string("\3\0\7\0", 4) + "\1\1" + "\2\2\2";
  EXPECT_EQ(Split(runs, styles, 0, 9),
            (std::vector<R>{{0, 4, 3, rsPlain}, {4, 6, 1, rsPlain}, {6, 9, 2, rsPlain}}));
  // Capitals keep their own run even on equal colours; the part past the style string
  // takes the control's look, which here equals style 0.
  EXPECT_EQ(Split(runs, std::string("\0\6\0", 3), 0, 5),
            (std::vector<R>{{0, 1, 0, rsPlain}, {1, 2, 6, rsPlain}, {2, 5, 0, rsPlain}}));
  // Only the visible columns are cut.
  EXPECT_EQ(Split(runs, styles, 5, 7), (std::vector<R>{{5, 6, 1, rsPlain}, {6, 7, 2, rsPlain}}));
}

TEST(PaintRuns, SelectionAndFoundTextSplitRunsAndJoinAcrossColours) {
  TPaintRuns runs = DocumentLikeRuns();
  std::string styles("\0\0\1\1\0\0\2\2", 8);
  // Selected characters of different colours on one font are painted alike.
  EXPECT_EQ(Split(runs, styles, 0, 8, {1, 6}),
            (std::vector<R>{{0, 1, 0, rsPlain}, {1, 6, 0, rsSelected}, {6, 8, 2, rsPlain}}));
  // Found text wins over the selection.
  EXPECT_EQ(Split(runs, styles, 0, 8, {0, 8}, {2, 4}), (std::vector<R>{{0, 2, 0, rsSelected},
                                                                       {2, 4, 1, rsFound},
                                                                       {4, 6, 0, rsSelected},
                                                                       {6, 8, 2, rsSelected}}));
}

TEST(PaintRuns, LongRunsAreCutAt512Characters) {
  TPaintRuns runs = DocumentLikeRuns();
  std::string styles(1200, '\3');
  auto out = Split(runs, styles, 0, 1200);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], (R{0, 512, 3, rsPlain}));
  EXPECT_EQ(out[1], (R{512, 1024, 3, rsPlain}));
  EXPECT_EQ(out[2], (R{1024, 1200, 3, rsPlain}));
}

TEST(PaintRuns, TabsExpandWithTheirStyle) {
  TMemoSource m;
  m.SetTabStops("3");
  m.SetOption(soUseTabCharacter, true);
  m.Lines().Assign({"a\tbc\td"});
  std::string text, styles;
  ExpandStyledLine(m, 0, std::string_view("\3\0\3\3\7\3", 6), text, styles);
  EXPECT_EQ(text, "a  bc d");
  EXPECT_EQ(styles, std::string("\3\0\0\3\3\7\3", 7));
  ExpandStyledLine(m, 0, "", text, styles);
  EXPECT_EQ(text, "a  bc d");
  EXPECT_TRUE(styles.empty());
}

} // namespace
} // namespace marlo
