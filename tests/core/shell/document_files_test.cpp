// The file rules of document windows: the final empty line, default extensions, absolute
// names, the command line, files with a NUL byte, the quoted name under the caret that the
// pop-up menu offers to open, and user templates from the Templates folder.
#include "../temp_dir.h"
#include "core/error.h"
#include "core/shell/document_files.h"
#include "core/shell/file_at_cursor.h"
#include "core/shell/user_templates.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using Names = std::vector<std::string>;

TEST(DocumentFiles, FinalEmptyLineIsOneChangeThatUndoTakesBack) {
  TMemoSource m;
  m.ConfigureAsDocument();
  m.LoadFromBytes("print 1\r\n  x = 2  ");
  m.SetCaret(3, 0);
  m.TypeChar('Z');
  const std::string edited = m.SaveToBytes();
  ASSERT_TRUE(NeedsFinalEmptyLine(m));
  EnsureFinalEmptyLine(m);
  EnsureFinalEmptyLine(m);
  EXPECT_EQ(m.SaveToBytes(), edited + "\r\n");
  EXPECT_EQ(m.Caret(), (TPoint{4, 0}));
  m.Undo(); // the earlier edit stays a step of its own
  EXPECT_EQ(m.SaveToBytes(), edited);

  // A last line of blanks only, and an empty text, get nothing.
  for (const char* text : {"a\r\n   \t ", ""}) {
    m.LoadFromBytes(text);
    EXPECT_FALSE(NeedsFinalEmptyLine(m)) << text;
  }
}

TEST(DocumentFiles, SaveDialogExtensionsAndAbsoluteNames) {
  EXPECT_EQ(SaveDialogDefaultExt(1), "zba");
  EXPECT_EQ(SaveDialogDefaultExt(4), "rtf");
  EXPECT_EQ(SaveDialogDefaultExt(5), "htm");
  EXPECT_EQ(SaveDialogDefaultExt(6), "");
  EXPECT_TRUE(IsSourceFileName("x.bAs"));
  EXPECT_FALSE(IsSourceFileName("x.bmp"));
  EXPECT_EQ(AbsoluteFileName("game.zba", "/home/u/src"), "/home/u/src/game.zba");
  EXPECT_EQ(AbsoluteFileName("./sub//x.zba", "/home/u/"), "/home/u/sub/x.zba");
  EXPECT_EQ(AbsoluteFileName("../x.zba", "/home/u"), "/home/u/../x.zba");
  EXPECT_EQ(AbsoluteFileName("/abs/x.zba", "/home/u"), "/abs/x.zba");
  EXPECT_EQ(AbsoluteFileName("", "/home/u"), "");
}

TEST(DocumentFiles, CommandLineJoinsArgumentsOrOpensEachExistingFile) {
  std::set<std::string> files = {"/My Games/demo.zba", "a.zba", "b.zba"};
  auto exists = [&](const std::string& f) { return files.count(f) > 0; };
  EXPECT_EQ(CommandLineFiles({}, exists), Names{});
  EXPECT_EQ(CommandLineFiles({"/My", "Games/demo.zba"}, exists), Names{"/My Games/demo.zba"});
  EXPECT_EQ(CommandLineFiles({"a.zba", "b.zba"}, exists), (Names{"a.zba", "b.zba"}));
  // Not every argument exists: the joined name, which opens an empty window of that name.
  EXPECT_EQ(CommandLineFiles({"a.zba", "new.zba"}, exists), Names{"a.zba new.zba"});
  // The joined name wins when it exists too.
  files.insert("a.zba b.zba");
  EXPECT_EQ(CommandLineFiles({"a.zba", "b.zba"}, exists), Names{"a.zba b.zba"});
}

TEST(DocumentFiles, NulBytes) {
  TempDir d;
  WriteFile(d / "plain.zba", "print 1\r\n");
  WriteFile(d / "nul.zba", std::string("print 1\0rest", 12));
  EXPECT_FALSE(FileHasNulByte(d / "plain.zba"));
  EXPECT_TRUE(FileHasNulByte(d / "nul.zba"));
  EXPECT_THROW(FileHasNulByte(d / "missing.zba"), Error);
}

TEST(FileAtCursor, OnlyInsideClosedQuotes) {
  const std::string line = R"(load bitmap "pics/ship.bmp", 1 : rem "x")";
  const int open = static_cast<int>(line.find('"'));
  const int close = static_cast<int>(line.find('"', open + 1));
  // From the second character inside the quotes up to the closing quote.
  for (int c = 0; c <= close + 1; ++c)
    EXPECT_EQ(FindQuotedFileName(line, c), c >= open + 2 && c <= close ? "pics/ship.bmp" : "") << c;
  EXPECT_EQ(FindQuotedFileName(line, static_cast<int>(line.size()) + 1), "");
  EXPECT_EQ(FindQuotedFileName(R"(x "abc)", 4), "");
  EXPECT_EQ(FindQuotedFileName(R"(x "a" "bc")", 8), "bc");
}

TEST(FileAtCursor, ExtensionsAndFolders) {
  for (const char* name : {"a.zba", "A.BAS", "t.Txt", "p.bmp", "m.mid", "w.wav", "v.avi", "m.x"})
    EXPECT_TRUE(CanOpenAtCursor(name)) << name;
  EXPECT_FALSE(CanOpenAtCursor("a.exe") || CanOpenAtCursor("noext"));
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "/src/game/main.zba", "/cwd"), "/src/game/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "", "/cwd"), "/cwd/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("/abs/a.zba", "/src/main.zba", "/cwd"), "/abs/a.zba");
}

TEST(UserTemplates, ZbaFilesInAnyCaseBecomeTemplates) {
  TempDir d;
  WriteFile(d / "loop.zba", "do\n   |\nloop\n");
  WriteFile(d / "a.b.ZBA", "x\r\ny");
  WriteFile(d / "notes.txt", "not a template");
  std::filesystem::create_directory(d / "dir.zba");
  std::vector<std::string> errors;
  auto t = LoadUserTemplates(d.Path(), [&](const std::string& e) { errors.push_back(e); });
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].Name, "a");
  EXPECT_EQ(t[0].Code, "x\r\ny\r\n");
  EXPECT_EQ(t[1].Name, "loop");
  EXPECT_EQ(t[1].Description, "User Defined");
  EXPECT_EQ(t[1].Code, "do\r\n   |\r\nloop\r\n");
  // The folder named like a template cannot be read; it is told, not fatal.
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("dir.zba"), std::string::npos);

  EXPECT_TRUE(LoadUserTemplates(d / "missing").empty());
}

} // namespace
} // namespace marlo::test
