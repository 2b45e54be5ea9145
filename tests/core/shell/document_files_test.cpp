// The file rules of document windows: the final empty line, default extensions, absolute
// names, the command line, the quoted name under the caret that the pop-up menu offers to
// open, and user templates from the Templates folder. Files with a NUL byte are found by
// tests/ui/app/window_form_test.cpp, which opens plain ones before.
#include "../temp_dir.h"
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
  for (auto [index, ext] : {std::pair{1, "zba"}, {4, "rtf"}, {5, "htm"}, {6, ""}})
    EXPECT_EQ(SaveDialogDefaultExt(index), ext) << index;
  EXPECT_TRUE(IsSourceFileName("x.bAs") && !IsSourceFileName("x.bmp"));
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
  files.insert("a.zba b.zba"); // the joined name wins when it exists too
  EXPECT_EQ(CommandLineFiles({"a.zba", "b.zba"}, exists), Names{"a.zba b.zba"});
}

TEST(FileAtCursor, OnlyInsideClosedQuotesWithAKnownExtension) {
  const std::string line = R"(load bitmap "pics/ship.bmp", 1 : rem "x")";
  const int open = static_cast<int>(line.find('"'));
  const int close = static_cast<int>(line.find('"', open + 1));
  // From the second character inside the quotes up to the closing quote.
  for (int c = 0; c <= close + 1; ++c)
    EXPECT_EQ(FindQuotedFileName(line, c), c >= open + 2 && c <= close ? "pics/ship.bmp" : "") << c;
  EXPECT_EQ(FindQuotedFileName(line, static_cast<int>(line.size()) + 1), "");
  EXPECT_EQ(FindQuotedFileName(R"(x "abc)", 4), "");
  EXPECT_EQ(FindQuotedFileName(R"(x "a" "bc")", 8), "bc");

  for (const char* name : {"a.zba", "A.BAS", "t.Txt", "p.bmp", "m.mid", "w.wav", "v.avi", "m.x"})
    EXPECT_TRUE(CanOpenAtCursor(name)) << name;
  EXPECT_FALSE(CanOpenAtCursor("a.exe") || CanOpenAtCursor("noext"));
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "/src/game/main.zba", "/cwd"), "/src/game/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "", "/cwd"), "/cwd/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("/abs/a.zba", "/src/main.zba", "/cwd"), "/abs/a.zba");
}

// tests/ui/app/window_form_test.cpp loads one beside the built-in templates.
TEST(UserTemplates, ZbaFilesInAnyCaseBecomeTemplates) {
  TempDir d;
  WriteFile(d / "loop.ZBA", "do\n   |\nloop");
  WriteFile(d / "notes.txt", "not a template");
  std::filesystem::create_directory(d / "dir.zba");
  std::vector<std::string> errors;
  auto t = LoadUserTemplates(d.Path(), [&](const std::string& e) { errors.push_back(e); });
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].Name + "|" + t[0].Description + "|" + t[0].Code,
            "loop|User Defined|do\r\n   |\r\nloop\r\n");
  // The folder named like a template cannot be read; it is told, not fatal.
  EXPECT_TRUE(errors.size() == 1 && errors[0].find("dir.zba") != std::string::npos);
  EXPECT_TRUE(LoadUserTemplates(d / "missing").empty());
}

} // namespace
} // namespace marlo::test
