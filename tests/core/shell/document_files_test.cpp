// The file rules of document windows: the final empty line, default extensions, absolute
// names, the command line and files with a NUL byte.
#include "../temp_dir.h"
#include "core/error.h"
#include "core/shell/document_files.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

using Names = std::vector<std::string>;

std::string Text(TMemoSource& m) {
  return m.SaveToBytes();
}

TEST(DocumentFiles, FinalEmptyLineIsOneChangeThatUndoTakesBack) {
  TMemoSource m;
  m.ConfigureAsDocument();
  m.LoadFromBytes("print 1\r\n  x = 2  ");
  const std::string loaded = Text(m);
  m.SetCaret(3, 0);
  m.TypeChar('Z');
  const std::string edited = Text(m);
  ASSERT_TRUE(NeedsFinalEmptyLine(m));
  EnsureFinalEmptyLine(m);
  // The caret stays; the earlier edit is still undoable.
  EXPECT_EQ(Text(m), edited + "\r\n");
  EXPECT_EQ(m.LineCount(), 3);
  EXPECT_EQ(m.Caret(), (TPoint{4, 0}));
  EXPECT_FALSE(NeedsFinalEmptyLine(m));
  EnsureFinalEmptyLine(m);
  EXPECT_EQ(m.LineCount(), 3);
  m.Undo();
  EXPECT_EQ(Text(m), edited);
  m.Undo();
  EXPECT_EQ(Text(m), loaded);
  m.Redo();
  m.Redo();
  EXPECT_EQ(Text(m), edited + "\r\n");

  // A last line of blanks only, and an empty text, get nothing.
  m.LoadFromBytes("a\r\n   \t ");
  EnsureFinalEmptyLine(m);
  EXPECT_EQ(m.LineCount(), 2);
  m.LoadFromBytes("");
  EnsureFinalEmptyLine(m);
  EXPECT_EQ(Text(m), "");
}

TEST(DocumentFiles, SaveDialogTypesAndExtensions) {
  EXPECT_EQ(SaveDialogDefaultExt(1), "zba");
  EXPECT_EQ(SaveDialogDefaultExt(4), "rtf");
  EXPECT_EQ(SaveDialogDefaultExt(5), "htm");
  EXPECT_EQ(SaveDialogDefaultExt(6), "");
  EXPECT_EQ(SaveDialogDefaultExt(0), "");
  EXPECT_EQ(UpperFileExt("/a.b/Game.Zba"), ".ZBA");
  EXPECT_EQ(UpperFileExt("/a.b/noext"), "");
  EXPECT_TRUE(IsSourceFileName("x.bAs"));
  EXPECT_FALSE(IsSourceFileName("x.bmp"));
}

TEST(DocumentFiles, AbsoluteNames) {
  EXPECT_EQ(AbsoluteFileName("game.zba", "/home/u/src"), "/home/u/src/game.zba");
  EXPECT_EQ(AbsoluteFileName("./sub//x.zba", "/home/u/"), "/home/u/sub/x.zba");
  EXPECT_EQ(AbsoluteFileName("../x.zba", "/home/u"), "/home/u/../x.zba");
  EXPECT_EQ(AbsoluteFileName("/abs/x.zba", "/home/u"), "/abs/x.zba");
  EXPECT_EQ(AbsoluteFileName("", "/home/u"), "");
  EXPECT_FALSE(CurrentFolder().empty());
}

TEST(DocumentFiles, CommandLineJoinsArgumentsOrOpensEachExistingFile) {
  std::set<std::string> files = {"/My Games/demo.zba", "a.zba", "b.zba"};
  auto exists = [&](const std::string& f) { return files.count(f) > 0; };
  EXPECT_EQ(CommandLineFiles({}, exists), Names{});
  EXPECT_EQ(CommandLineFiles({"/My", "Games/demo.zba"}, exists), Names{"/My Games/demo.zba"});
  EXPECT_EQ(CommandLineFiles({"a.zba", "b.zba"}, exists), (Names{"a.zba", "b.zba"}));
  // Not every argument exists: the joined name, which opens an empty window of that name.
  EXPECT_EQ(CommandLineFiles({"a.zba", "new.zba"}, exists), Names{"a.zba new.zba"});
  EXPECT_EQ(CommandLineFiles({"new.zba"}, exists), Names{"new.zba"});
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

} // namespace
} // namespace marlo::test
