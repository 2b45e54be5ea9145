#include "core/shell/editor_settings.h"

namespace marlo {

namespace {

void SetStyle(const TSettings& settings, TTextStyles& styles, int index, TColor textColor,
              TFontStyles fontStyle, TColor background) {
  TTextStyle* style = styles.Find(index);
  if (!style) return;
  TTextFont font = style->Font();
  font.Name = settings.EditorFont.Name;
  font.SetSize(settings.EditorFont.Size());
  font.Color = textColor;
  font.Style = fontStyle;
  style->SetFont(font);
  style->SetColor(background);
}

} // namespace

TEditorSwitches EditorSwitches(const TSettings& settings) {
  return {settings.HighlightSyntax, settings.ShowGutter, settings.ShowNumbers,
          settings.HighlightLine};
}

TStringsOptions ApplyTextOptions(const TSettings& settings, TStringsOptions options) {
  options.Set(soLimitEOL, !settings.PastEOL);
  options.Set(soAutoIndent, settings.AutoIndent);
  options.Set(soCreateBackups, settings.AutoSave);
  return options;
}

void ApplyStyleSettings(const TSettings& settings, TTextStyles& styles, TMemoColors& memo) {
  const TTextFont& font = settings.EditorFont;
  const TColor background = settings.BackgroundColor;
  // The order matters to styles that push their colours to the control.
  SetStyle(settings, styles, tkWhitespace, font.Color, font.Style, background);
  memo.Color = background;
  SetStyle(settings, styles, tkIdentifier, font.Color, font.Style, background);
  SetStyle(settings, styles, tkDelimiter, font.Color, font.Style, background);
  SetStyle(settings, styles, tkReservedWord, settings.KTColor, settings.KeywordsStyle,
           settings.KBColor);
  SetStyle(settings, styles, tkComment, settings.CTColor, settings.CommentsStyle, settings.CBColor);
  SetStyle(settings, styles, tkInteger, settings.NTColor, settings.NumbersStyle, settings.NBColor);
  SetStyle(settings, styles, tkFloat, settings.NTColor, settings.NumbersStyle, settings.NBColor);
  SetStyle(settings, styles, tkString, settings.STColor, settings.StringsStyle, settings.SBColor);
}

} // namespace marlo
