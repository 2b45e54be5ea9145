// Settings carried onto a document window's editor, its text model and its styles.
#include "core/shell/editor_settings.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

TSettings Custom() {
  TSettings s;
  s.EditorFont.Name = "Liberation Mono";
  s.EditorFont.SetSize(14);
  s.EditorFont.Color = 0x010101;
  s.EditorFont.Style = {fsUnderline};
  s.BackgroundColor = 0x0A0A0A;
  s.KTColor = 0x11, s.KBColor = 0x12, s.KeywordsStyle = {fsItalic};
  s.CTColor = 0x21, s.CBColor = 0x22, s.CommentsStyle = {fsStrikeOut};
  s.STColor = 0x31, s.SBColor = 0x32, s.StringsStyle = {fsBold, fsItalic};
  s.NTColor = 0x41, s.NBColor = 0x42, s.NumbersStyle = {};
  return s;
}

TEST(EditorSettings, StylesTakeTheirColoursAndTheEditorFont) {
  const TSettings s = Custom();
  TMemoColors memo;
  TTextStyles styles(&memo);
  styles.LoadDocumentStyles();
  styles[tkWhitespace].SetUseMemoColor(true);
  ApplyStyleSettings(s, styles, memo);

  struct TExpect {
    TColor Text;
    TFontStyles Style;
    TColor Back;
  };
  const TExpect expected[8] = {
      {0x010101, {fsUnderline}, 0x0A0A0A}, // Whitespace
      {0x31, {fsBold, fsItalic}, 0x32},    // String
      {0x21, {fsStrikeOut}, 0x22},         // Comment
      {0x010101, {fsUnderline}, 0x0A0A0A}, // Identifier
      {0x41, {}, 0x42},                    // Integer
      {0x41, {}, 0x42},                    // Float
      {0x11, {fsItalic}, 0x12},            // Reserved words
      {0x010101, {fsUnderline}, 0x0A0A0A}, // Delimiters
  };
  for (int i = 0; i < 8; ++i) {
    const TTextStyle& style = styles[i];
    EXPECT_EQ(style.Font().Name, "Liberation Mono") << style.Name();
    EXPECT_EQ(style.Font().Size(), 14) << style.Name();
    EXPECT_EQ(style.Font().Color, expected[i].Text) << style.Name();
    EXPECT_EQ(style.Font().Style, expected[i].Style) << style.Name();
    EXPECT_EQ(style.Color(), expected[i].Back) << style.Name();
    EXPECT_FALSE(style.UseMemoColor()) << style.Name();
  }
  EXPECT_EQ(memo.Color, 0x0A0A0Au);

  // A shorter list is filled as far as it goes.
  TTextStyles few(&memo);
  few.Add("Whitespace");
  few.Add("String");
  ApplyStyleSettings(s, few, memo);
  EXPECT_EQ(few[1].Font().Color, 0x31u);
  EXPECT_EQ(few.Count(), 2);
}

TEST(EditorSettings, SwitchesAndTextOptions) {
  TSettings s;
  EXPECT_EQ(EditorSwitches(s), (TEditorSwitches{true, true, true, true}));
  s.HighlightSyntax = false;
  s.ShowNumbers = false;
  EXPECT_EQ(EditorSwitches(s), (TEditorSwitches{false, true, false, true}));

  s.PastEOL = false;
  s.AutoIndent = true;
  s.AutoSave = false;
  TStringsOptions options = ApplyTextOptions(s, {soCreateBackups, soGroupUndo});
  EXPECT_EQ(options, (TStringsOptions{soLimitEOL, soAutoIndent, soGroupUndo}));
  s.PastEOL = true;
  s.AutoIndent = false;
  s.AutoSave = true;
  EXPECT_EQ(ApplyTextOptions(s, options), (TStringsOptions{soCreateBackups, soGroupUndo}));
}

} // namespace
} // namespace marlo::test
