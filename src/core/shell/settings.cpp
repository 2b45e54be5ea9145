#include "core/shell/settings.h"

#include "core/platform/environment.h"
#include "core/platform/program_folder.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace marlo {

using platform::rdInteger;
using platform::rdString;

namespace {

TSettingValue StringValue(std::string text) {
  return {rdString, std::move(text), 0};
}

TSettingValue IntegerValue(int32_t number) {
  return {rdInteger, {}, number};
}

template <auto Field> constexpr TSettingInfo Text(const char* name) {
  return {name, rdString, [](const TSettings& s) { return StringValue(s.*Field); },
          [](TSettings& s, const TSettingValue& v) { s.*Field = v.Text; }};
}

template <auto Field> constexpr TSettingInfo Integer(const char* name) {
  return {name, rdInteger, [](const TSettings& s) { return IntegerValue(s.*Field); },
          [](TSettings& s, const TSettingValue& v) { s.*Field = v.Number; }};
}

template <auto Field> constexpr TSettingInfo Color(const char* name) {
  return {name, rdInteger,
          [](const TSettings& s) { return IntegerValue(static_cast<int32_t>(s.*Field)); },
          [](TSettings& s, const TSettingValue& v) { s.*Field = static_cast<TColor>(v.Number); }};
}

template <auto Field> constexpr TSettingInfo Boolean(const char* name) {
  return {name, rdInteger, [](const TSettings& s) { return IntegerValue(s.*Field ? 1 : 0); },
          [](TSettings& s, const TSettingValue& v) { s.*Field = v.Number != 0; }};
}

template <auto Field> constexpr TSettingInfo Style(const char* name) {
  return {name, rdString, [](const TSettings& s) { return StringValue(StyleToText(s.*Field)); },
          [](TSettings& s, const TSettingValue& v) { s.*Field = TextToStyle(v.Text); }};
}

constexpr TSettingInfo kFontName{
    "Font Name", rdString, [](const TSettings& s) { return StringValue(s.EditorFont.Name); },
    [](TSettings& s, const TSettingValue& v) { s.EditorFont.Name = v.Text; }};
constexpr TSettingInfo kFontSize{
    "Font Size", rdInteger, [](const TSettings& s) { return IntegerValue(s.EditorFont.Size()); },
    [](TSettings& s, const TSettingValue& v) { s.EditorFont.SetSize(v.Number); }};
constexpr TSettingInfo kFontColor{
    "Font Color", rdInteger,
    [](const TSettings& s) { return IntegerValue(static_cast<int32_t>(s.EditorFont.Color)); },
    [](TSettings& s, const TSettingValue& v) {
      s.EditorFont.Color = static_cast<TColor>(v.Number);
    }};
constexpr TSettingInfo kFontStyle{
    "Font Style", rdString,
    [](const TSettings& s) { return StringValue(StyleToText(s.EditorFont.Style)); },
    [](TSettings& s, const TSettingValue& v) { s.EditorFont.Style = TextToStyle(v.Text); }};

constexpr std::array<TSettingInfo, 54> kTable{
    Text<&TSettings::CorePath>("Core Path"),
    Text<&TSettings::BrowserPath>("Browser Path"),
    Text<&TSettings::SourcePath>("Source Path"),
    Text<&TSettings::HelpPath>("Help Path"),
    Text<&TSettings::CheckSwitch>("Check Switch"),
    Text<&TSettings::ExecuteSwitch>("Execute Switch"),
    Text<&TSettings::EXESwitch>("EXE Switch"),
    Text<&TSettings::FinalSwitch>("Final Switch"),
    kFontName,
    kFontSize,
    kFontColor,
    kFontStyle,
    Color<&TSettings::BackgroundColor>("Background Color"),
    Boolean<&TSettings::HighlightSyntax>("Highlight Syntax"),
    Boolean<&TSettings::ShowGutter>("Show Gutter"),
    Boolean<&TSettings::ShowNumbers>("Show Numbers"),
    Boolean<&TSettings::PastEOL>("Past EOL"),
    Boolean<&TSettings::LeftArrowUp>("Left Arrow Up"),
    Boolean<&TSettings::HighlightLine>("Highlight Line"),
    Boolean<&TSettings::AutoIndent>("Auto Indent"),
    Boolean<&TSettings::AutoSave>("Auto Save"),
    Boolean<&TSettings::SaveBackups>("Save Backups"),
    Boolean<&TSettings::StructEnabled>("Struct Enabled"),
    Boolean<&TSettings::DefineEnabled>("Define Enabled"),
    Boolean<&TSettings::GlobalEnabled>("Global Enabled"),
    Style<&TSettings::KeywordsStyle>("Keywords Style"),
    Style<&TSettings::CommentsStyle>("Comments Style"),
    Style<&TSettings::StringsStyle>("Strings Style"),
    Style<&TSettings::NumbersStyle>("Numbers Style"),
    Color<&TSettings::KTColor>("KTColor"),
    Color<&TSettings::KBColor>("KBColor"),
    Color<&TSettings::CTColor>("CTColor"),
    Color<&TSettings::CBColor>("CBColor"),
    Color<&TSettings::STColor>("STColor"),
    Color<&TSettings::SBColor>("SBColor"),
    Color<&TSettings::NTColor>("NTColor"),
    Color<&TSettings::NBColor>("NBColor"),
    Boolean<&TSettings::InternalMID>("Internal MID"),
    Boolean<&TSettings::InternalWAV>("Internal WAV"),
    Boolean<&TSettings::InternalBMP>("Internal BMP"),
    Boolean<&TSettings::Internal3DS>("Internal 3DS"),
    Boolean<&TSettings::InternalX>("Internal X"),
    Boolean<&TSettings::InternalAVI>("Internal AVI"),
    Text<&TSettings::MIDPath>("MID Path"),
    Text<&TSettings::WAVPath>("WAV Path"),
    Text<&TSettings::BMPPath>("BMP Path"),
    Text<&TSettings::Path3DS>("3DS Path"),
    Text<&TSettings::XPath>("X Path"),
    Text<&TSettings::AVIPath>("AVI Path"),
    Boolean<&TSettings::RestoreSession>("Restore Session"),
    Integer<&TSettings::Top>("Top"),
    Integer<&TSettings::Left>("Left"),
    Integer<&TSettings::Width>("Width"),
    Integer<&TSettings::Height>("Height"),
};

std::string DefaultSourcePath() {
  std::string home = platform::HomeFolder();
  std::string documents = (home == "/" ? "" : home) + "/Documents";
  std::error_code ec;
  return std::filesystem::is_directory(documents, ec) ? documents : home;
}

std::string DefaultBrowserPath() {
  std::string found = platform::FindProgramOnPath("xdg-open");
  return found.empty() ? "xdg-open" : found;
}

} // namespace

TSettings DefaultSettings(TDesktopSize desktop) {
  TSettings s;
  const std::string programFolder = platform::ProgramFolder();
  // The stand-in core shipped beside the program, until the user names a real one.
  s.CorePath = programFolder + "zbcheck";
  s.BrowserPath = DefaultBrowserPath();
  s.SourcePath = DefaultSourcePath();
  s.HelpPath = programFolder + "help/menu.htm";
  s.EditorFont.SetSize(10);
  s.Width = desktop.Width;
  s.Height = desktop.Height;
  return s;
}

std::span<const TSettingInfo> SettingsTable() {
  return kTable;
}

std::string StyleToText(TFontStyles style) {
  std::string text;
  if (style.Has(fsBold)) text += 'B';
  if (style.Has(fsItalic)) text += 'I';
  if (style.Has(fsUnderline)) text += 'U';
  if (style.Has(fsStrikeOut)) text += 'S';
  return text;
}

TFontStyles TextToStyle(const std::string& text) {
  TFontStyles style;
  style.Set(fsBold, text.find('B') != std::string::npos);
  style.Set(fsItalic, text.find('I') != std::string::npos);
  style.Set(fsUnderline, text.find('U') != std::string::npos);
  style.Set(fsStrikeOut, text.find('S') != std::string::npos);
  return style;
}

std::optional<platform::ERegistryException>
LoadSettings(platform::TRegistry& registry, TSettings& settings, TDesktopSize desktop) {
  settings = DefaultSettings(desktop);
  if (!registry.KeyExists(kSettingsKey)) return std::nullopt;
  registry.OpenKey(kSettingsKey, false);
  std::string wrongType;
  int wrongCount = 0;
  for (const TSettingInfo& info : kTable) {
    if (!registry.ValueExists(info.Name)) continue;
    if (registry.GetDataType(info.Name) != info.Type) {
      wrongType += (wrongCount++ ? ", '" : "'") + std::string(info.Name) + "'";
      continue;
    }
    TSettingValue value{info.Type, {}, 0};
    if (info.Type == rdString)
      value.Text = registry.ReadString(info.Name);
    else
      value.Number = registry.ReadInteger(info.Name);
    info.Set(settings, value);
  }
  registry.CloseKey();
  if (wrongCount == 0) return std::nullopt;
  return platform::ERegistryException(
      "Invalid data type for " + wrongType +
      (wrongCount == 1 ? " (its default is used)" : " (their defaults are used)"));
}

void SaveSettings(platform::TRegistry& registry, const TSettings& settings) {
  registry.OpenKey(kSettingsKey, true);
  for (const TSettingInfo& info : kTable) {
    TSettingValue value = info.Get(settings);
    if (value.Type == rdString)
      registry.WriteString(info.Name, value.Text);
    else
      registry.WriteInteger(info.Name, value.Number);
  }
  registry.CloseKey();
}

} // namespace marlo
