// The settings: the table of values, style letters, loading and saving through the
// registry store, how they are carried onto an editor, and the recent-files list beside
// them. The defaults a first run shows, and how stored values read, are pinned by
// tests/cli/cli_test.sh; the recent-files menu by tests/ui/app/main_form_test.cpp.
#include "../temp_dir.h"
#include "core/platform/file_system.h"
#include "core/platform/registry_store.h"
#include "core/shell/editor_settings.h"
#include "core/shell/mru_file_list.h"
#include "core/shell/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;
using Names = std::vector<std::string>;
constexpr TDesktopSize kDesktop{2560, 1440};

// A value of `info` other than the one `s` holds.
TSettingValue Changed(const TSettingInfo& info, const TSettings& s) {
  TSettingValue v = info.Get(s);
  if (v.Type == rdString)
    v.Text = std::string(info.Name).ends_with("Style") ? "BIUS" : "x";
  else
    v.Number = v.Number == 0 ? 1 : 0;
  return v;
}

std::pair<std::string, int32_t> Key(const TSettingValue& v) {
  return {v.Text, v.Number};
}

TEST(Settings, TheTableMapsEachValueToItsOwnField) {
  const auto table = SettingsTable();
  const TSettings base;
  for (const TSettingInfo& changed : table) {
    TSettings s = base;
    const TSettingValue v = Changed(changed, base);
    changed.Set(s, v);
    for (const TSettingInfo& info : table)
      EXPECT_EQ(Key(info.Get(s)), Key(&info == &changed ? v : info.Get(base)))
          << changed.Name << " changed " << info.Name;
  }
}

// Reading "IB" and "bi" is pinned by tests/cli/cli_test.sh.
TEST(Settings, StyleLetters) {
  EXPECT_EQ(StyleToText({}), "");
  EXPECT_EQ(StyleToText({fsStrikeOut, fsItalic, fsBold, fsUnderline}), "BIUS");
  EXPECT_EQ(TextToStyle("xSxUx"), (TFontStyles{fsUnderline, fsStrikeOut}));
}

TEST(Settings, SaveWritesAllValuesAndLoadReadsThemBack) {
  TempDir d;
  TRegistry reg(d / "registry.reg");
  // An empty store gives the defaults over whatever the settings held, and writes nothing.
  TSettings s;
  s.CheckSwitch = "changed";
  EXPECT_FALSE(LoadSettings(reg, s, kDesktop).has_value());
  EXPECT_EQ(s, DefaultSettings(kDesktop));
  EXPECT_FALSE(FileExists(d / "registry.reg"));

  for (const TSettingInfo& info : SettingsTable()) info.Set(s, Changed(info, s));
  SaveSettings(reg, s);
  EXPECT_FALSE(reg.HasPendingChanges());
  ASSERT_TRUE(reg.OpenKey(kSettingsKey, false));
  Names names;
  for (const TSettingInfo& info : SettingsTable()) names.emplace_back(info.Name);
  EXPECT_EQ(reg.GetValueNames(), names);
  EXPECT_EQ(reg.ReadString("Font Style"), "BIUS");
  EXPECT_EQ(reg.ReadInteger("Show Gutter"), 0);
  reg.CloseKey();
  TSettings back;
  EXPECT_FALSE(LoadSettings(reg, back, TDesktopSize{1, 1}).has_value());
  EXPECT_EQ(back, s);

  // A boolean is on for any number but zero.
  reg.OpenKey(kSettingsKey, false);
  reg.WriteInteger("Show Gutter", 7);
  reg.CloseKey();
  EXPECT_FALSE(LoadSettings(reg, back, kDesktop).has_value());
  EXPECT_TRUE(back.ShowGutter);
}

// One such value is pinned by tests/cli/cli_test.sh; here every one is named, and
// loading writes nothing back.
TEST(Settings, AValueOfTheWrongTypeKeepsItsDefaultAndTheRestLoad) {
  TempDir d;
  const std::string stored = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                             "\"Core Path\"=\"/opt/zb\"\n\"Font Size\"=\"12\"\n"
                             "\"KTColor\"=\"red\"\n\"Keywords Style\"=dword:00000001\n";
  WriteFile(d / "r.reg", stored);
  TRegistry reg(d / "r.reg");
  TSettings s;
  std::optional<ERegistryException> error = LoadSettings(reg, s, kDesktop);
  EXPECT_EQ(std::string(error ? error->what() : ""),
            "Invalid data type for 'Font Size', 'Keywords Style', 'KTColor' "
            "(their defaults are used)");
  TSettings expected = DefaultSettings(kDesktop);
  expected.CorePath = "/opt/zb";
  EXPECT_EQ(s, expected);
  EXPECT_EQ(ReadFile(d / "r.reg"), stored);
}

// Each kind of token takes its colours, its style and the editor's font. The switches and
// text options copy their settings; tests/ui/app/window_form_test.cpp saves without Auto
// Save and moves past line ends with Past EOL off.
TEST(EditorSettings, StylesTakeTheirColoursAndTheEditorFont) {
  TSettings s;
  s.EditorFont.Name = "Liberation Mono";
  s.EditorFont.SetSize(14);
  s.EditorFont.Color = 0x01, s.EditorFont.Style = {fsUnderline}, s.BackgroundColor = 0x02;
  s.KTColor = 0x11, s.KBColor = 0x12, s.KeywordsStyle = {fsItalic};
  s.CTColor = 0x21, s.CBColor = 0x22, s.CommentsStyle = {fsStrikeOut};
  s.STColor = 0x31, s.SBColor = 0x32, s.StringsStyle = {fsBold, fsItalic};
  s.NTColor = 0x41, s.NBColor = 0x42, s.NumbersStyle = {};
  TMemoColors memo;
  TTextStyles styles(&memo);
  styles.LoadDocumentStyles();
  ApplyStyleSettings(s, styles, memo);
  // By kind in index order: the text colour (the background is one more) and the style.
  const std::pair<TColor, const char*> expected[] = {{0x01, "U"}, {0x31, "BI"}, {0x21, "S"},
                                                     {0x01, "U"}, {0x41, ""},   {0x41, ""},
                                                     {0x11, "I"}, {0x01, "U"}};
  ASSERT_EQ(styles.Count(), 8);
  for (int i = 0; i < 8; ++i) {
    const TTextFont& font = styles[i].Font();
    EXPECT_TRUE(font.Name == "Liberation Mono" && font.Size() == 14) << i;
    EXPECT_EQ(font.Color, expected[i].first) << i;
    EXPECT_EQ(StyleToText(font.Style), expected[i].second) << i;
    EXPECT_EQ(styles[i].Color(), expected[i].first + 1) << i;
  }
  EXPECT_EQ(memo.Color, 0x02u);
}

TEST(MRUFileList, AddKeepsFiveMostRecentFirstAndMovesRepeatsUp) {
  TMRUFileList mru;
  for (const char* f : {"/a", "/b", "/c", "/d", "/e", "/f"}) mru.Add(f);
  EXPECT_EQ(mru.Items(), (Names{"/f", "/e", "/d", "/c", "/b"})); // the oldest dropped
  mru.Add("/c");
  EXPECT_EQ(mru.Items(), (Names{"/c", "/f", "/e", "/d", "/b"}));
  mru.Add("/C"); // names that differ in letter case are different files here
  mru.Add("");
  EXPECT_EQ(mru.Items(), (Names{"/C", "/c", "/f", "/e", "/d"}));
}

TEST(MRUFileList, RegistryValuesAreF0ToF4AndLoadBack) {
  TempDir d;
  platform::TRegistry reg(d / "r.reg");
  reg.OpenKey(kMRUKey, true);
  reg.WriteString("F7", "/old.zba"); // stale entries of an earlier run are erased
  reg.CloseKey();
  TMRUFileList mru;
  for (const char* f : {"/1.zba", "/2 & 3.zba", "/4.zba"}) mru.Add(f);
  mru.SaveToRegistry(reg);
  ASSERT_TRUE(reg.OpenKey(kMRUKey, false));
  EXPECT_EQ(reg.GetValueNames(), (Names{"F0", "F1", "F2"}));
  EXPECT_EQ(reg.ReadString("F0"), "/4.zba");
  // Values that are not strings, empty or repeated are passed over.
  reg.WriteInteger("F3", 5);
  reg.WriteString("F4", "");
  reg.WriteString("F5", "/4.zba");
  reg.WriteString("F6", "/5.zba");
  reg.CloseKey();
  TMRUFileList loaded;
  loaded.LoadFromRegistry(reg);
  EXPECT_EQ(loaded.Items(), (Names{"/4.zba", "/2 & 3.zba", "/1.zba", "/5.zba"}));
}

} // namespace
} // namespace marlo::test
