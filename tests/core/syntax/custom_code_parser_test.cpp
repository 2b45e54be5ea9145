// The tokenizer framework on a small language of its own. The number, string and
// identifier handlers it shares with the Zorbic highlighter are pinned by the colour
// samples; a parser losing its clients is checked in color_cache_test.cpp.
#include "core/syntax/custom_code_parser.h"

#include <gtest/gtest.h>

namespace marlo {
namespace {

// Delimiters and line breaks by default, then identifiers, numbers and single-quoted
// strings on top.
class TinyParser : public TCustomCodeParser {
public:
  TinyParser() {
    InitDefaultHandlers();
    AddTokenHandler({0}, CharRange('a', 'z') | CharRange('A', 'Z') | CharsOf("_"),
                    [this] { return ParseIdentifier(); });
    AddTokenHandler({0}, CharRange('0', '9'), [this] { return ParseNumber(); });
    AddTokenHandler({0}, CharsOf("'"), [this] { return ParseQuoted('\''); });
    AddTokenHandler({0}, CharsOf(" "), {}); // blanks form no token
  }
  std::string Digits(const std::string& line) {
    std::string colors(line.size(), '\0');
    ColorString(line, 0, colors);
    std::string out;
    for (char c : colors) out += static_cast<char>('0' + c);
    return Unterminated() ? out + " open" : out;
  }
};

TEST(CodeParser, DelimitersStringsAndLineBreaks) {
  TinyParser p;
  EXPECT_EQ(p.Digits("a+b1"), "3733");
  EXPECT_EQ(p.Digits("'it''s' x"), "111111103");
  EXPECT_EQ(p.Digits("x 'open"), "3011111 open");
  std::string text = "ab\r\ncd", colors(text.size(), '\0');
  p.SetLineIndex(4);
  p.ColorString(text, 0, colors);
  EXPECT_EQ(p.LineIndex(), 5); // the line break counted a line
  EXPECT_EQ(colors, std::string("\3\3\0\0\3\3", 6));

  // Lines without tokens keep their state; clearing their colours is the caller's part.
  colors = "xx";
  EXPECT_EQ(p.ColorString("", 5, colors), 5);
  EXPECT_EQ(p.ColorString("  ", 3, colors), 3); // no table for state 3: nothing is a token
  EXPECT_EQ(colors, "xx");
  colors.clear();
  EXPECT_EQ(p.ColorString("a", 0, colors), 0); // no room for colours: nothing done
  EXPECT_TRUE(colors.empty());
}

TEST(CodeParser, KeywordLookup) {
  TinyParser p;
  p.SetKeywordLines({"  While  ", "", "END", "end", "Do"});
  EXPECT_EQ(p.SortedKeywords(), (std::vector<std::string>{"Do", "end", "While"}));
  EXPECT_EQ(p.Digits("while x Do"), "6666603066");
  EXPECT_TRUE(p.IsKeyword("END"));
  p.SetMatchKeywordCase(true);
  EXPECT_TRUE(p.IsKeyword("end") && !p.IsKeyword("END") && !p.IsKeyword("while"));
  // Long words wrap around in 32-bit arithmetic without trouble.
  EXPECT_FALSE(p.IsKeyword(std::string(100, 'z')));
}

} // namespace
} // namespace marlo
