// The Zorbic highlighter. Its colours for remarks, remark blocks, strings, numbers and
// single- and multi-word keywords are pinned by the samples in tests/data/colors (see
// golden_colors_test.cpp); fuzz/fuzz_tokenizer.cpp compares it on any input with the
// plainly written rules of naive_highlighter.h, from seeds with multi-word keywords.
#include "core/syntax/my_parser.h"

#include <gtest/gtest.h>

namespace marlo {
namespace {

TEST(MyParser, CaseIsFoldedByTableNotLocale) {
  // Letters of the code page fold through the fixed table (0xE9 is e acute, 0xC9 its capital).
  TMyParser p({"caf\xE9"});
  EXPECT_TRUE(p.IsKeywordText("CAF\xC9"));
  EXPECT_FALSE(p.IsKeywordText("CAFE"));
}

TEST(MyParser, KeywordFileLines) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitKeywordLines("a\r\nb c \r\n\r\nd"), (V{"a", "b c ", "", "d"}));
  EXPECT_EQ(SplitKeywordLines("a\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(SplitKeywordLines("a\rb\n\rc"), (V{"a", "b", "", "c"}));
  EXPECT_EQ(SplitKeywordLines(std::string("a\nb\0c\nd", 7)), (V{"a", "b"}));
  EXPECT_TRUE(SplitKeywordLines("").empty());
}

} // namespace
} // namespace marlo
