#pragma once
// The user's settings: one field per value of the registry key "\Software\Zorbic\",
// their defaults, and how they are read from and written to the registry.
#include "core/platform/registry_store.h"
#include "core/syntax/text_styles.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace marlo {

inline constexpr const char* kSettingsKey = "\\Software\\Zorbic\\";

// The size of the whole virtual desktop, which the main window covers by default.
struct TDesktopSize {
  int Width = 0;
  int Height = 0;
};

struct TSettings {
  std::string CorePath;
  std::string BrowserPath;
  std::string SourcePath;
  std::string HelpPath;
  std::string CheckSwitch = "-c";
  std::string ExecuteSwitch = "-x";
  std::string EXESwitch = "-b";
  std::string FinalSwitch = "-f";
  // Font Name, Font Size (points), Font Color and Font Style.
  TTextFont EditorFont;
  TColor BackgroundColor = clWhite;
  bool HighlightSyntax = true;
  bool ShowGutter = true;
  bool ShowNumbers = true;
  bool PastEOL = false;
  bool LeftArrowUp = false;
  bool HighlightLine = true;
  bool AutoIndent = true;
  bool AutoSave = true;
  bool SaveBackups = true;
  bool StructEnabled = false;
  bool DefineEnabled = false;
  bool GlobalEnabled = false;
  TFontStyles KeywordsStyle{fsBold};
  TFontStyles CommentsStyle{fsItalic};
  TFontStyles StringsStyle;
  TFontStyles NumbersStyle{fsBold};
  TColor KTColor = clMaroon;
  TColor KBColor = clWhite;
  TColor CTColor = clGreen;
  TColor CBColor = clWhite;
  TColor STColor = clPurple;
  TColor SBColor = clWhite;
  TColor NTColor = clBlue;
  TColor NBColor = clWhite;
  bool InternalMID = true;
  bool InternalWAV = true;
  bool InternalBMP = true;
  bool Internal3DS = false;
  bool InternalX = false;
  bool InternalAVI = true;
  std::string MIDPath;
  std::string WAVPath;
  std::string BMPPath;
  std::string Path3DS; // "3DS Path"
  std::string XPath;
  std::string AVIPath;
  // A start without files opens again the document windows of the last shut-down.
  bool RestoreSession = true;
  // The main window's place, in pixels.
  int Top = 0;
  int Left = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const TSettings&) const = default;
};

// Every setting at its default. The program paths depend on where the program and the
// user's folders are; the main window covers `desktop` from its top-left corner.
TSettings DefaultSettings(TDesktopSize desktop);

// One value as the registry holds it.
struct TSettingValue {
  platform::TRegDataType Type = platform::rdString;
  std::string Text;
  int32_t Number = 0;
};

// One row of the settings table: the value's name and type and how it maps to a field.
struct TSettingInfo {
  const char* Name;
  platform::TRegDataType Type;
  TSettingValue (*Get)(const TSettings&);
  void (*Set)(TSettings&, const TSettingValue&);
};

// The 54 values, in the order in which they are read and written.
std::span<const TSettingInfo> SettingsTable();

// The letters of the set styles in the order B, I, U, S; "" for none.
std::string StyleToText(TFontStyles style);
// Bold for a "B" anywhere in the text, italic for "I", underline for "U", strike-out for
// "S"; case matters and every other character is ignored.
TFontStyles TextToStyle(const std::string& text);

// Fills `settings` with the defaults, then with every value of the settings key that
// exists. A value stored with the wrong type keeps its default while all others still
// load; the data-type error naming every such value is returned for the caller to show
// once. Nothing is written. Errors of the store itself (an unreadable file) are raised.
[[nodiscard]] std::optional<platform::ERegistryException>
LoadSettings(platform::TRegistry& registry, TSettings& settings, TDesktopSize desktop);

// Writes every value in table order, all in one replacement of the store's file. Raises
// Error when the store cannot be written.
void SaveSettings(platform::TRegistry& registry, const TSettings& settings);

} // namespace marlo
