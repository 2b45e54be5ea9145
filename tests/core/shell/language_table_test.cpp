// The language table: how Language.txt is read and looked up, and that the shipped file has
// every text the program asks for.
#include "../preproc/preproc_test_util.h"
#include "../temp_dir.h"
#include "core/error.h"
#include "core/shell/language_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace std::string_literals;

TEST(LanguageTable, LookupRules) {
  TLanguageTable t;
  t.LoadFromBytes("untitledwindow=Untitled\r\n"
                  "UntitledWindow=Second\n"
                  "A=B=C\r"
                  "  \tSpaced = text with blank  \t\r\n"
                  "comment line without equals\n"
                  "Empty=\n"
                  "Last=Before NUL\0After=NUL\n"s);
  EXPECT_EQ(t.LanguageText("UntitledWindow"), "Untitled"); // first match, any case
  EXPECT_EQ(t.LanguageText("UNTITLEDWINDOW"), "Untitled");
  EXPECT_EQ(t.LanguageText("A"), "B=C");
  EXPECT_EQ(t.LanguageText("Spaced "), " text with blank"); // blanks by "=" are kept
  EXPECT_EQ(t.LanguageText("Spaced"), "");
  EXPECT_EQ(t.LanguageText("comment line without equals"), "");
  EXPECT_EQ(t.LanguageText("Empty"), "");
  EXPECT_EQ(t.LanguageText("Last"), "Before NUL");
  EXPECT_EQ(t.LanguageText("After"), ""); // a NUL ends the text
  EXPECT_EQ(t.LanguageText("Missing"), "");
  EXPECT_EQ(t.Lines().size(), 7u);

  // Letters of the Western code page compare without regard to case as well.
  t.LoadFromBytes("\xC4pfel=apples\r\n");
  EXPECT_EQ(t.LanguageText("\xE4PFEL"), "apples");
}

TEST(LanguageTable, CharSetAndFiles) {
  TLanguageTable t;
  t.LoadFromBytes("CharSet=204\r\n");
  EXPECT_EQ(t.CharSet(), 204);
  for (const char* bad : {"X=1", "CharSet=", "CharSet=12a", "CharSet=0x10"}) {
    t.LoadFromBytes(bad);
    EXPECT_THROW(t.CharSet(), Error) << bad;
  }

  TempDir dir;
  const std::string path = dir.Path() + "/Language.txt";
  WriteFile(path, "CharSet=0\r\nMainCaption=Marlo\r\n");
  t.LoadFromFile(path);
  EXPECT_EQ(t.LanguageText("maincaption"), "Marlo");
  EXPECT_THROW(t.LoadFromFile(dir.Path() + "/missing.txt"), Error);
  EXPECT_EQ(t.LanguageText("MainCaption"), ""); // a failed load leaves an empty table
}

// Every key the windows ask for, but for the passes' own texts (kPreprocKeys). Lookups
// ignore letter case, so each key is listed in one spelling.
const char* const kProgramKeys =
    "CharSet MainCaption FileMenu EditMenu SearchMenu CompileMenu WindowMenu HelpMenu "
    "FileNew FileOpen FileClose FileSave FileSaveAs FilePrint FileExit EditUndo EditRedo "
    "EditCut EditCopy EditPaste EditDelete EditSelectAll EditOptions SearchFind "
    "SearchReplace SearchFindAgain SearchSetBookmark SearchClearBookmark "
    "SearchGotoLineNumber SearchGotoBookmark SearchGotoFunction SearchGotoLabel "
    "CompileCheckSyntax CompileExecute CompileStepThrough CompileMakeEXE CompileMakeFinal "
    "WindowCascade WindowTileH WindowTileV HelpAbout HelpZBHelp HelpMediaBrowser FUNCTIONS "
    "LABELS GotoBookMark SetBookmarkatCursor ErrorRunningDefaultBrowser UntitledWindow "
    "WindowModified WindowInsert WindowOverwrite WindowModifiedQuestion WindowNotFound "
    "TooManyWindows ErrorRunningBrowser BreakLineCommand ErrorRunningCore RunL1 "
    "RunStopWaiting FUNCTION DeclaredLabels AboutCaption AboutL1 AboutL2 AboutL3 AboutL4 "
    "AboutL5 AboutL6 AboutL7 AboutL8 AboutL9 OKbutton SetMarkCaption SetMarkLabel "
    "CancelButton MediaViewerCaption MediaBrowserCaption MediaBrowserPreviewButton "
    "MediaBrowserInsertButton MediaBrowserAbsolute OptionsCaption OptionsEditorTab "
    "OptionsSyntaxTab OptionsZBTab OptionsMediaTab OptionscbSyntaxHighlight "
    "OptionscbShowGutter OptionscbShowLineNumbers OptionscbPastEOL OptionscbLeftGoesUp "
    "OptionscbHighlightLine OptionscbAutoIndent OptionscbAutoSave OptionscbBackup "
    "OptionscbStructs OptionscbDefines OptionscbGlobals OptionsEditorFont OptionscmSetFont "
    "OptionsDefaultBackground OptionsebReserved OptionsebRemarks OptionsebStrings "
    "OptionsebNumbers OptionsTextStyleOptions OptionsTextColor OptionsBackgroundColor "
    "OptionsIdentifier OptionsZorbicProgram OptionsPreferredHTML OptionsHelpFile "
    "OptionsDefaultStartupPath OptionsCommandLine OptionsCompile OptionsExecute "
    "OptionsMakeEXE OptionsBuildFinal OptionsMIDIViewer OptionsWAVViewer OptionsBMPViewer "
    "Options3DSViewer OptionsXOFViewer OptionsAVIViewer OptionsInternal OptionsExternal "
    "PreCaption PreStatusLabel PreErrorLabel PreGotoErrorButton PreReplaceSourceButton "
    "PreEditModifiedButton PreContinue preGlobalTrue preGlobalFalse";

TEST(LanguageTable, ShippedFileHasEveryKey) {
  TLanguageTable t;
  t.LoadFromFile(std::string(MARLO_SOURCE_DIR) + "/data/Language.txt");
  std::vector<std::string> keys = Words(std::string(kProgramKeys) + " " + kPreprocKeys);
  keys.push_back("Declared Functions"); // the one key with a blank
  for (const std::string& key : keys) EXPECT_FALSE(t.LanguageText(key).empty()) << key;
  EXPECT_EQ(t.CharSet(), 0);
  EXPECT_EQ(t.LanguageText("FUNCTION"), "FUNCTION");
  EXPECT_EQ(t.LanguageText("preGlobalTrue"), "TRUE");
  EXPECT_EQ(t.LanguageText("preGlobalFalse"), "FALSE");
  EXPECT_NE(t.LanguageText("BreakLineCommand").find('#'), std::string::npos);
}

} // namespace
} // namespace marlo::test
