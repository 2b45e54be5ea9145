// The quoted name under the caret that the pop-up menu offers to open.
#include "core/shell/file_at_cursor.h"

#include <gtest/gtest.h>

namespace marlo::test {
namespace {

TEST(FileAtCursor, OnlyInsideQuotes) {
  const std::string line = R"(load bitmap "pics/ship.bmp", 1 : rem "x")";
  const int open = static_cast<int>(line.find('"'));
  const int close = static_cast<int>(line.find('"', open + 1));
  // Every column strictly after the first character inside the quotes up to the closing
  // quote finds the whole name.
  for (int c = open + 2; c <= close; ++c)
    EXPECT_EQ(FindQuotedFileName(line, c), "pics/ship.bmp") << c;
  EXPECT_EQ(FindQuotedFileName(line, open + 1), ""); // the quote itself is left of the caret
  EXPECT_EQ(FindQuotedFileName(line, open), "");
  EXPECT_EQ(FindQuotedFileName(line, close + 1), "");
  EXPECT_EQ(FindQuotedFileName(line, 0), "");
  EXPECT_EQ(FindQuotedFileName(line, static_cast<int>(line.size()) + 1), "");
  // An unclosed quote names nothing.
  EXPECT_EQ(FindQuotedFileName(R"(x "abc)", 4), "");
  EXPECT_EQ(FindQuotedFileName(R"(x "a" "bc")", 8), "bc");
}

TEST(FileAtCursor, ExtensionsAndFolders) {
  for (const char* name :
       {"a.zba", "A.BAS", "t.Txt", "p.bmp", "m.mid", "w.wav", "v.avi", "m.x", "m.3ds"})
    EXPECT_TRUE(CanOpenAtCursor(name)) << name;
  EXPECT_FALSE(CanOpenAtCursor("a.exe"));
  EXPECT_FALSE(CanOpenAtCursor("noext"));
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "/src/game/main.zba", "/cwd"), "/src/game/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("inc/a.zba", "", "/cwd"), "/cwd/inc/a.zba");
  EXPECT_EQ(ResolveFileAtCursor("/abs/a.zba", "/src/main.zba", "/cwd"), "/abs/a.zba");
}

} // namespace
} // namespace marlo::test
