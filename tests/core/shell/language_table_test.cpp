// The language table: how Language.txt is read and looked up, and that the shipped file has
// every text the program asks for.
#include "../preproc/preproc_test_util.h"
#include "core/error.h"
#include "core/shell/language_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlo::test {
namespace {

using namespace std::string_literals;

// The lookup over the lines (the first whose key matches in any case, the text after its
// first "=") is checked on random files by fuzz/fuzz_language_table.cpp; here: how bytes
// become lines, and letters of the Western code page.
TEST(LanguageTable, LinesAndLookups) {
  TLanguageTable t;
  t.LoadFromBytes(
      "untitledwindow=Untitled\r\nUntitledWindow=Second\nA=B=C\r  \tSpaced = blank  \t\r\n"
      "\xC4pfel=apples\r\nLast=Before NUL\0After=NUL\n"s);
  EXPECT_EQ(t.Lines(), (Lines{"untitledwindow=Untitled", "UntitledWindow=Second", "A=B=C",
                              "Spaced = blank", "\xC4pfel=apples", "Last=Before NUL"}));
  EXPECT_EQ(t.LanguageText("UNTITLEDWINDOW"), "Untitled");
  EXPECT_EQ(t.LanguageText("A"), "B=C");
  EXPECT_EQ(t.LanguageText("Spaced "), " blank"); // blanks by "=" are kept
  EXPECT_EQ(t.LanguageText("\xE4PFEL"), "apples");
  EXPECT_EQ(t.LanguageText("Missing"), "");
}

// Loading from a file is the shipped file's test; a missing file is told at start-up
// (tests/ui/app/main_form_test.cpp).
TEST(LanguageTable, CharSet) {
  TLanguageTable t;
  t.LoadFromBytes("CharSet=204\r\n");
  EXPECT_EQ(t.CharSet(), 204);
  for (const char* bad : {"X=1", "CharSet=", "CharSet=12a", "CharSet=0x10"}) {
    t.LoadFromBytes(bad);
    EXPECT_THROW(t.CharSet(), Error) << bad;
  }
  EXPECT_THROW(t.LoadFromFile("/nonexistent/Language.txt"), Error);
  EXPECT_EQ(t.Lines().size(), 0u); // a failed load leaves an empty table
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
    "CancelButton SearchNotFound SearchInvalidMask SearchBlockInvalid "
    "SearchCursorOutsideBlock SearchReplaceQuestion GotoLineInvalid MediaViewerCaption "
    "MediaBrowserCaption MediaBrowserPreviewButton "
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
    "PreEditModifiedButton PreContinue preGlobalTrue preGlobalFalse FileHasNulByte "
    "SaveOverNulFile RunStopCore CoreStopped CoreNoReport CoreStillRunning HelpFileNotFound "
    "MediaFolderNotFound MediaNoMidi MediaNoSound MediaNoPlayer DiskFileChanged "
    "DiskFileRemoved DiskReloadButton DiskKeepMineButton DiskSaveButton DiskCloseButton "
    "DiskReloaded SaveOverChangedFile DiskOverwriteButton DiskSaveAsButton SessionFilesMissing "
    "OptionscbRestoreSession RecoveryCaption RecoveryIntro RecoveryName RecoveryFolder "
    "RecoveryLastChange RecoveryLines "
    "RecoveryAction RecoveryRecover RecoveryDiscard RecoveryKeep RecoveryUnreadable "
    "RecoveryCannotWrite RecoveryCannotDiscard";

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
