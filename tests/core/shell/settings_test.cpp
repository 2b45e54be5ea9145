// The settings: defaults on a first run, the table of values, style letters, and loading
// and saving through the registry store.
#include "../scoped_env.h"
#include "../temp_dir.h"
#include "core/platform/file_system.h"
#include "core/platform/program_folder.h"
#include "core/platform/registry_file.h"
#include "core/shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;
using Names = std::vector<std::string>;

constexpr TDesktopSize kDesktop{2560, 1440};

Names TableNames() {
  Names names;
  for (const TSettingInfo& info : SettingsTable()) names.emplace_back(info.Name);
  return names;
}

TEST(Settings, FirstRunGivesTheDefaultsAndWritesNothing) {
  TempDir d;
  ScopedEnv home("HOME", d.Path());
  TRegistry reg(d / "registry.reg");
  TSettings s;
  s.CheckSwitch = "changed";
  EXPECT_FALSE(LoadSettings(reg, s, kDesktop).has_value());
  EXPECT_FALSE(FileExists(d / "registry.reg"));
  EXPECT_EQ(s, DefaultSettings(kDesktop));

  const std::string folder = ProgramFolder();
  EXPECT_EQ(s.CorePath, folder + "zbcheck");
  EXPECT_EQ(s.HelpPath, folder + "help/menu.htm");
  EXPECT_TRUE(s.BrowserPath == "xdg-open" ||
              (s.BrowserPath.starts_with("/") && s.BrowserPath.ends_with("/xdg-open")))
      << s.BrowserPath;
  EXPECT_EQ(s.SourcePath, d.Path()); // no Documents folder: the home folder
  std::filesystem::create_directory(d / "Documents");
  EXPECT_EQ(DefaultSettings(kDesktop).SourcePath, d / "Documents");

  EXPECT_EQ(s.CheckSwitch, "-c");
  EXPECT_EQ(s.FinalSwitch, "-f");
  EXPECT_EQ(s.EditorFont.Name, "Courier New");
  EXPECT_EQ(s.EditorFont.Size(), 10);
  EXPECT_EQ(s.EditorFont.Color, clBlack);
  EXPECT_TRUE(s.EditorFont.Style.Empty());
  EXPECT_EQ(s.BackgroundColor, 16777215u);
  EXPECT_TRUE(s.HighlightSyntax && s.ShowGutter && s.AutoSave && s.InternalAVI);
  EXPECT_FALSE(s.PastEOL || s.StructEnabled || s.Internal3DS || s.InternalX);
  EXPECT_EQ(s.KeywordsStyle, TFontStyles{fsBold});
  EXPECT_EQ(s.CommentsStyle, TFontStyles{fsItalic});
  EXPECT_EQ(s.KTColor, 128u);
  EXPECT_EQ(s.CTColor, 32768u);
  EXPECT_EQ(s.STColor, 8388736u);
  EXPECT_EQ(s.NTColor, 16711680u);
  EXPECT_EQ(s.Top, 0);
  EXPECT_EQ(s.Left, 0);
  EXPECT_EQ(s.Width, 2560);
  EXPECT_EQ(s.Height, 1440);
}

TEST(Settings, TheTableMapsEachValueToItsOwnField) {
  auto table = SettingsTable();
  ASSERT_EQ(table.size(), 53u);
  EXPECT_EQ(TableNames().front(), "Core Path");
  EXPECT_EQ(TableNames()[9], "Font Size");
  EXPECT_EQ(TableNames()[25], "Keywords Style");
  EXPECT_EQ(TableNames()[46], "3DS Path");
  EXPECT_EQ(TableNames().back(), "Height");

  // Changing one value through the table changes that value alone.
  const TSettings base;
  for (size_t i = 0; i < table.size(); ++i) {
    TSettingValue v = table[i].Get(base);
    if (v.Type == rdString)
      v.Text = std::string(table[i].Name).ends_with("Style") ? "BIUS" : "text";
    else
      v.Number = v.Number == 0 ? 1 : 0;
    TSettings s = base;
    table[i].Set(s, v);
    for (size_t k = 0; k < table.size(); ++k) {
      TSettingValue got = table[k].Get(s), old = table[k].Get(base);
      if (k == i)
        EXPECT_TRUE(got.Text == v.Text && got.Number == v.Number) << table[i].Name;
      else
        EXPECT_TRUE(got.Text == old.Text && got.Number == old.Number)
            << table[i].Name << " changed " << table[k].Name;
    }
  }
  TSettings s;
  table[46].Set(s, {rdString, "/usr/bin/view3ds", 0});
  EXPECT_EQ(s.Path3DS, "/usr/bin/view3ds");
  table[9].Set(s, {rdInteger, {}, 12});
  EXPECT_EQ(s.EditorFont.Height, -16);
}

TEST(Settings, StyleLetters) {
  EXPECT_EQ(StyleToText({}), "");
  EXPECT_EQ(StyleToText({fsStrikeOut, fsItalic, fsBold, fsUnderline}), "BIUS");
  EXPECT_EQ(StyleToText({fsUnderline, fsItalic}), "IU");
  EXPECT_EQ(TextToStyle("IB"), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(TextToStyle("bi"), TFontStyles{});
  EXPECT_EQ(TextToStyle("xSxUx"), (TFontStyles{fsUnderline, fsStrikeOut}));
  EXPECT_EQ(TextToStyle(""), TFontStyles{});
}

TEST(Settings, SaveWritesAllValuesAndLoadReadsThemBack) {
  TempDir d;
  const std::string file = d / "registry.reg";
  TSettings s = DefaultSettings(kDesktop);
  s.CorePath = "/opt/zorbic/ZB";
  s.EditorFont.Name = "Liberation Mono";
  s.EditorFont.SetSize(12);
  s.EditorFont.Style = {fsBold, fsUnderline};
  s.ShowGutter = false;
  s.KTColor = 0x123456;
  s.Left = -1920;
  s.Width = 1024;
  {
    TRegistry reg(file);
    SaveSettings(reg, s);
    EXPECT_FALSE(reg.HasPendingChanges());
  }
  TRegistry reg(file);
  ASSERT_TRUE(reg.OpenKey(kSettingsKey, false));
  EXPECT_EQ(reg.GetValueNames(), TableNames());
  EXPECT_EQ(reg.ReadString("Font Style"), "BU");
  EXPECT_EQ(reg.ReadInteger("Font Size"), 12);
  EXPECT_EQ(reg.ReadInteger("Show Gutter"), 0);
  EXPECT_EQ(reg.ReadInteger("Highlight Syntax"), 1);
  EXPECT_EQ(reg.ReadString("Strings Style"), "");
  EXPECT_EQ(reg.ReadInteger("Left"), -1920);
  reg.CloseKey();

  TSettings back;
  EXPECT_FALSE(LoadSettings(reg, back, TDesktopSize{1, 1}).has_value());
  EXPECT_EQ(back, s);

  // A boolean is on for any number but zero.
  reg.OpenKey(kSettingsKey, false);
  reg.WriteInteger("Past EOL", 7);
  reg.CloseKey();
  EXPECT_FALSE(LoadSettings(reg, back, kDesktop).has_value());
  EXPECT_TRUE(back.PastEOL);
}

TEST(Settings, KeywordStyleIBLoadsAsBoldItalicAndIsWrittenBackAsBI) {
  TempDir d;
  const std::string file = d / "registry.reg";
  WriteFile(file, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                  "\"Keywords Style\"=\"IB\"\n\"Comments Style\"=\"bi\"\n");
  TRegistry reg(file);
  TSettings s;
  EXPECT_FALSE(LoadSettings(reg, s, kDesktop).has_value());
  EXPECT_EQ(s.KeywordsStyle, (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(s.CommentsStyle, TFontStyles{});
  EXPECT_EQ(s.NumbersStyle, TFontStyles{fsBold}); // absent: its default
  SaveSettings(reg, s);
  const std::string text = ReadFile(file);
  EXPECT_NE(text.find("\"Keywords Style\"=\"BI\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Comments Style\"=\"\"\n"), std::string::npos) << text;
}

TEST(Settings, AValueOfTheWrongTypeKeepsItsDefaultAndTheRestLoad) {
  TempDir d;
  const std::string file = d / "registry.reg";
  const std::string stored = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                             "\"Core Path\"=\"/opt/zb\"\n"
                             "\"Font Size\"=\"12\"\n"
                             "\"Font Color\"=dword:000000ff\n"
                             "\"KTColor\"=\"red\"\n"
                             "\"Keywords Style\"=dword:00000001\n"
                             "\"Height\"=dword:00000300\n";
  WriteFile(file, stored);
  TRegistry reg(file);
  TSettings s;
  std::optional<ERegistryException> error = LoadSettings(reg, s, kDesktop);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(std::string(error->what()),
            "Invalid data type for 'Font Size', 'Keywords Style', 'KTColor' "
            "(their defaults are used)");
  const TSettings defaults = DefaultSettings(kDesktop);
  EXPECT_EQ(s.EditorFont.Size(), 10);
  EXPECT_EQ(s.KTColor, defaults.KTColor);
  EXPECT_EQ(s.KeywordsStyle, defaults.KeywordsStyle);
  EXPECT_EQ(s.CorePath, "/opt/zb");
  EXPECT_EQ(s.EditorFont.Color, 0xFFu);
  EXPECT_EQ(s.Height, 0x300);
  EXPECT_EQ(s.Width, kDesktop.Width);
  EXPECT_EQ(ReadFile(file), stored); // nothing is written back by loading

  // One wrong value alone is named alone.
  reg.OpenKey(kSettingsKey, false);
  reg.WriteInteger("Font Size", 12);
  reg.WriteString("KTColor", "128");
  reg.DeleteValue("Keywords Style");
  reg.CloseKey();
  error = LoadSettings(reg, s, kDesktop);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(std::string(error->what()), "Invalid data type for 'KTColor' (its default is used)");
  EXPECT_EQ(s.EditorFont.Size(), 12);
}

TEST(Settings, DeletingOneValueLeavesTheOthers) {
  TempDir d;
  const std::string file = d / "registry.reg";
  TSettings s = DefaultSettings(kDesktop);
  s.ShowGutter = false;
  s.ShowNumbers = false;
  s.HelpPath = "/srv/help.htm";
  TRegistry reg(file);
  SaveSettings(reg, s);
  reg.OpenKey(kSettingsKey, false);
  ASSERT_TRUE(reg.DeleteValue("Show Gutter"));
  reg.CloseKey();

  TSettings back;
  EXPECT_FALSE(LoadSettings(reg, back, kDesktop).has_value());
  TSettings expected = s;
  expected.ShowGutter = true;
  EXPECT_EQ(back, expected);
}

} // namespace
} // namespace marlo::test
