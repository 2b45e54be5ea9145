// Cutting a line into the runs a view draws.
#include "core/syntax/paint_runs.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo {
namespace {

struct R {
  int From, To, Style;
  TRunState State;
  bool operator==(const R&) const = default;
};

// Columns from..to of a line of the given style bytes, with a selection and found text.
struct Case {
  const char* name;
  std::string styles;
  int from, to;
  std::vector<R> expected;
  TColumnSpan sel, found;
};

Case C(const char* name, std::string styles, int from, int to, std::vector<R> expected,
       TColumnSpan sel = {}, TColumnSpan found = {}) {
  return {name, std::move(styles), from, to, std::move(expected), sel, found};
}

TEST(PaintRuns, AlikeCharactersShareARunAndMarkedOnesSplit) {
  // Styles 0, 3 and 7 look alike; 1 has its own colours on the same font; 2 has its own
  // font; 6 shares style 0's colours but is shown in capitals.
  std::array<TRunLook, TPaintRuns::kNoStyle + 1> looks;
  looks.fill({0, clBlack, clWhite, false});
  looks[1] = {0, clPurple, clWhite, false};
  looks[2] = {1, clGreen, clSilver, false};
  looks[6] = {0, clBlack, clWhite, true};
  TPaintRuns runs;
  runs.SetLooks(looks);

  const std::string line = std::string("\3\0\7\0", 4) + "\1\1" + "\2\2\2"; // "a = 1 ' x"
  const std::string mixed("\0\0\1\1\0\0\2\2", 8);
  const Case cases[] = {
      C("alike join, others split", line, 0, 9,
        {{0, 4, 3, rsPlain}, {4, 6, 1, rsPlain}, {6, 9, 2, rsPlain}}),
      // The part past the style string takes the control's look, here equal to style 0.
      C("capitals keep their own run", std::string("\0\6\0", 3), 0, 5,
        {{0, 1, 0, rsPlain}, {1, 2, 6, rsPlain}, {2, 5, 0, rsPlain}}),
      C("only the visible columns", line, 5, 7, {{5, 6, 1, rsPlain}, {6, 7, 2, rsPlain}}),
      C("selected colours on one font join", mixed, 0, 8,
        {{0, 1, 0, rsPlain}, {1, 6, 0, rsSelected}, {6, 8, 2, rsPlain}}, {1, 6}),
      C("found text wins over the selection", mixed, 0, 8,
        {{0, 2, 0, rsSelected}, {2, 4, 1, rsFound}, {4, 6, 0, rsSelected}, {6, 8, 2, rsSelected}},
        {0, 8}, {2, 4}),
      C("long runs are cut at 512", std::string(1200, '\3'), 0, 1200,
        {{0, 512, 3, rsPlain}, {512, 1024, 3, rsPlain}, {1024, 1200, 3, rsPlain}}),
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TPaintRun> out;
    runs.Split(c.styles, c.from, c.to, c.sel, c.found, out);
    std::vector<R> got;
    for (const TPaintRun& r : out) got.push_back({r.From, r.To, r.Style, r.State});
    EXPECT_EQ(got, c.expected);
  }
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
