// Text styles as plain values: font sizes, colours pushed to the control, lookup by kind.
#include "core/syntax/text_styles.h"

#include <gtest/gtest.h>

#include <vector>

namespace marlo::test {
namespace {

TEST(TextStyles, FontSizesComeBackThroughTheHeight) {
  TTextFont font;
  for (auto [points, height] : {std::pair{10, -13}, {12, -16}, {9, -12}}) {
    font.SetSize(points);
    EXPECT_EQ(font.Height, height) << points;
  }
  for (int points = 1; points <= 200; ++points) {
    font.SetSize(points);
    EXPECT_EQ(font.Size(), points) << points;
  }
}

TEST(TextStyles, AStylePushingItsColoursToTheSelectionDoesNotFollowTheControl) {
  TMemoColors memo;
  TTextStyles styles(&memo);
  std::vector<bool> told;
  styles.AddChangeHandler([&](bool drop) { told.push_back(drop); });
  styles.LoadDocumentStyles();
  TTextStyle& comment = styles[tkComment];
  comment.SetColor(0x123456);
  comment.SetUpdateMemoColors(mcSelection);
  EXPECT_EQ(std::pair(memo.SelBackColor, memo.SelColor), std::pair(TColor(0x123456), clGreen));
  comment.SetColor(0x654321);
  EXPECT_EQ(memo.SelBackColor, 0x654321u);
  comment.SetUseMemoColor(true);
  EXPECT_FALSE(comment.UseMemoColor());
  // Capitals change text widths: the cached colours are dropped.
  told.clear();
  styles[tkString].SetUpperCase(true);
  EXPECT_EQ(told, std::vector<bool>{true});
}

// Kinds past the end of a short list find no style (what an export then does is in
// export_rules_test.cpp); a style of no control follows the system's window colour.
TEST(TextStyles, LookupOutsideTheListFindsNothing) {
  TTextStyles styles;
  styles.Add("Whitespace");
  styles.Add("String");
  EXPECT_TRUE(styles.Find(1) && !styles.Find(tkDelimiter) && !styles.Find(-1));
  styles[0].SetUseMemoColor(true);
  EXPECT_EQ(styles[0].Color(), clWindow);
}

} // namespace
} // namespace marlo::test
