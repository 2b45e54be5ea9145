// The settings: the table of values, style letters, loading and saving through the
// registry store, how they are carried onto an editor, and the recent-files list beside
// them. The defaults a first run shows, and how stored values read, are pinned by
// tests/cli/settings_test.sh; the recent-files menu by tests/ui/app/main_form_test.cpp.
#include "../temp_dir.h"
#include "core/platform/file_system.h"
#include "core/platform/registry_store.h"
#include "core/shell/editor_settings.h"
#include "core/shell/mru_file_list.h"
#include "core/shell/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace marlo::platform;
using Names = std::vector<std::string>;
constexpr TDesktopSize kDesktop{2560, 1440};

TEST(Settings, TheTableMapsEachValueToItsOwnField) {
  // Changing one value through the table changes that value alone.
  const auto table = SettingsTable();
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
}

TEST(Settings, StyleLetters) {
  EXPECT_EQ(StyleToText({}), "");
  EXPECT_EQ(StyleToText({fsStrikeOut, fsItalic, fsBold, fsUnderline}), "BIUS");
  EXPECT_EQ(StyleToText({fsUnderline, fsItalic}), "IU");
  EXPECT_EQ(TextToStyle("IB"), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(TextToStyle("bi"), TFontStyles{}); // capitals only
  EXPECT_EQ(TextToStyle("xSxUx"), (TFontStyles{fsUnderline, fsStrikeOut}));
}

TEST(Settings, SaveWritesAllValuesAndLoadReadsThemBack) {
  TempDir d;
  const std::string file = d / "registry.reg";
  TRegistry reg(file);
  // An empty store gives the defaults over whatever the settings held, and writes nothing.
  TSettings s;
  s.CheckSwitch = "changed";
  EXPECT_FALSE(LoadSettings(reg, s, kDesktop).has_value());
  EXPECT_EQ(s, DefaultSettings(kDesktop));
  EXPECT_FALSE(FileExists(file));

  s.CorePath = "/opt/zorbic/ZB";
  s.EditorFont.SetSize(12);
  s.EditorFont.Style = {fsBold, fsUnderline};
  s.ShowGutter = false;
  s.KTColor = 0x123456;
  s.Left = -1920;
  SaveSettings(reg, s);
  EXPECT_FALSE(reg.HasPendingChanges());
  ASSERT_TRUE(reg.OpenKey(kSettingsKey, false));
  Names names;
  for (const TSettingInfo& info : SettingsTable()) names.emplace_back(info.Name);
  EXPECT_EQ(reg.GetValueNames(), names);
  EXPECT_EQ(reg.ReadString("Font Style"), "BU");
  EXPECT_EQ(reg.ReadInteger("Show Gutter"), 0);
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

TEST(Settings, AValueOfTheWrongTypeKeepsItsDefaultAndTheRestLoad) {
  TempDir d;
  const std::string file = d / "registry.reg";
  const std::string stored = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"
                             "\"Core Path\"=\"/opt/zb\"\n"
                             "\"Font Size\"=\"12\"\n"
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
  TSettings expected = DefaultSettings(kDesktop);
  expected.CorePath = "/opt/zb";
  expected.Height = 0x300;
  EXPECT_EQ(s, expected);
  EXPECT_EQ(ReadFile(file), stored); // nothing is written back by loading
}

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
    EXPECT_TRUE(style.Font().Name == "Liberation Mono" && style.Font().Size() == 14) << i;
    EXPECT_EQ(style.Font().Color, expected[i].Text) << style.Name();
    EXPECT_EQ(style.Font().Style, expected[i].Style) << style.Name();
    EXPECT_EQ(style.Color(), expected[i].Back) << style.Name();
    EXPECT_FALSE(style.UseMemoColor()) << style.Name();
  }
  EXPECT_EQ(memo.Color, 0x0A0A0Au);

  // A shorter list is filled as far as it goes.
  TTextStyles few(&memo);
  few.Add("Whitespace");
  ApplyStyleSettings(s, few, memo);
  EXPECT_EQ(few.Count(), 1);
}

TEST(EditorSettings, SwitchesAndTextOptions) {
  TSettings s;
  s.HighlightSyntax = false;
  s.ShowNumbers = false;
  EXPECT_EQ(EditorSwitches(s), (TEditorSwitches{false, true, false, true}));
  // Each option follows its setting; the others are kept.
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
