// Text styles as plain values: font sizes, colours pushed to the control, lookup by kind.
#include "core/syntax/text_styles.h"

#include <gtest/gtest.h>

#include <vector>

namespace marlo::test {
namespace {

TEST(TextStyles, FontSizeAndHeight) {
  TTextFont font;
  EXPECT_EQ(font.Height, -13);
  EXPECT_EQ(font.Size(), 10);
  font.SetSize(10);
  EXPECT_EQ(font.Height, -13);
  font.SetSize(12);
  EXPECT_EQ(font.Height, -16);
  font.SetSize(9);
  EXPECT_EQ(font.Height, -12);
  for (int points = 1; points <= 200; ++points) {
    font.SetSize(points);
    EXPECT_EQ(font.Size(), points) << points;
  }
}

TEST(TextStyles, ColoursAndTheControl) {
  TMemoColors memo;
  TTextStyles styles(&memo);
  std::vector<bool> told;
  styles.AddChangeHandler([&](bool drop) { told.push_back(drop); });
  styles.LoadDocumentStyles();
  ASSERT_EQ(styles.Count(), 8);
  EXPECT_EQ(styles[tkReservedWord].Name(), "Reserved words");
  EXPECT_EQ(styles[tkReservedWord].Font().Color, clMaroon);
  EXPECT_EQ(styles[tkString].Font().Style, TFontStyles{fsItalic});

  TTextStyle& comment = styles[tkComment];
  comment.SetUseMemoColor(true);
  EXPECT_TRUE(comment.UseMemoColor());
  comment.SetColor(0x123456);
  EXPECT_FALSE(comment.UseMemoColor());
  EXPECT_EQ(comment.Color(), 0x123456u);

  // A style that pushes its colours to the selection refuses to follow the control.
  comment.SetUpdateMemoColors(mcSelection);
  EXPECT_EQ(memo.SelBackColor, 0x123456u);
  EXPECT_EQ(memo.SelColor, clGreen);
  comment.SetColor(0x654321);
  EXPECT_EQ(memo.SelBackColor, 0x654321u);
  comment.SetUseMemoColor(true);
  EXPECT_FALSE(comment.UseMemoColor());
  EXPECT_EQ(memo.Color, clWindow);

  told.clear();
  styles[tkString].SetUpperCase(true);
  EXPECT_EQ(told, std::vector<bool>{true});
}

TEST(TextStyles, LookupOutsideTheListFindsNothing) {
  TTextStyles styles;
  styles.Add("Whitespace");
  styles.Add("String");
  EXPECT_NE(styles.Find(1), nullptr);
  EXPECT_EQ(styles.Find(2), nullptr);
  EXPECT_EQ(styles.Find(tkDelimiter), nullptr);
  EXPECT_EQ(styles.Find(-1), nullptr);
  styles.LoadBuiltIn();
  EXPECT_EQ(styles.Count(), 25);
  EXPECT_EQ(styles[24].Name(), "Script ResWord");
  // A style of no control follows the system's window colour.
  styles[0].SetUseMemoColor(true);
  EXPECT_EQ(styles[0].Color(), clWindow);
}

} // namespace
} // namespace marlo::test
