#include "ui/editor/code_memo.h"

namespace marlo {

TCodeMemo::TCodeMemo(QWidget* parent) : TCustomCodeMemo(parent) {}

void TCodeMemo::ConfigureAsDocument() {
  TGutterLook& g = Gutter();
  g.Width = 64;
  g.BackColor = 0x808080;
  g.LineColor = 0x808080;
  g.Gradient = true;
  g.GradientFrom = clWhite;
  g.GradientTo = clSilver;
  g.LineNumColor = clBlack;
  g.LineNumAlign = laRight;
  g.LineIndent = 0;

  TLineHighlight& h = LineHighlight();
  h.Visible = true;
  h.Pen = clSilver;
  h.PenWidth = 1;
  h.Brush = 15790320; // RGB 240, 240, 240
  h.ClearBrush = false;

  TMemoColors& c = MemoColors();
  c.Font = TTextFont{};
  c.Color = clWhite;
  c.SelColor = clWhite;
  c.SelBackColor = clNavy;
  c.MatchBackColor = clBlack;

  SetKeyMapping("Default");
  SetLeftIndent(8);
  SetOptions({moDrawGutter, moThumbTracking, moColorSyntax, moLineNumbers, moOverwriteCaret,
              moLeftIndent, moLineNumbersOnGutter});
  TextStyles().LoadDocumentStyles();
  AppearanceChanged();
}

} // namespace marlo
