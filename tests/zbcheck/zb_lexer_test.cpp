// What zbcheck leaves unchecked as strings and remarks is exactly what the editor paints as
// strings and remarks: over the colouring samples (control bytes, NULs, odd line breaks,
// REMEND near misses), the export samples and the bundled example, with the samples' own
// keyword list and the program's, both line by line from the file's bytes and as a
// document window loads and colours them.
#include "zbcheck/zb_lexer.h"

#include "../core/temp_dir.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace marlo::zbcheck {
namespace {

const std::string kRoot = MARLO_SOURCE_DIR;

std::vector<std::string> Samples() {
  std::vector<std::string> files;
  for (const char* dir : {"/tests/data/colors", "/tests/data/export"})
    for (const auto& entry : std::filesystem::directory_iterator(kRoot + dir))
      if (entry.path().extension() == ".zba") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  files.push_back(kRoot + "/examples/demo.zba");
  return files;
}

// The highlighter's styles as marks: strings and remarks, everything else code.
std::string MarksOfStyles(std::string_view styles) {
  std::string marks(styles.size(), bmCode);
  for (size_t i = 0; i < styles.size(); ++i) {
    if (styles[i] == tkString) marks[i] = bmString;
    if (styles[i] == tkComment) marks[i] = bmRemark;
  }
  return marks;
}

std::string Show(std::string_view marks) {
  std::string digits;
  for (char m : marks) digits += static_cast<char>('0' + m);
  return digits;
}

TEST(ZbCheckLexer, StringsAndRemarksAreWhereTheEditorColoursThem) {
  const std::vector<std::string> samples = Samples();
  ASSERT_GE(samples.size(), 10u);
  for (const std::string& keywordFile :
       {kRoot + "/tests/data/colors/keywords.txt", kRoot + "/data/keywords.txt"}) {
    TMyParser parser(LoadKeywordFile(keywordFile));
    for (const std::string& sample : samples) {
      SCOPED_TRACE(sample + " with " + keywordFile);
      // The file's own lines, as zbcheck reads them.
      const std::string bytes = test::ReadFile(sample);
      int state = TMyParser::kNormal;
      bool inBlock = false;
      std::string styles, marks;
      size_t lineNo = 0;
      for (size_t pos = 0, next = 0; pos < bytes.size(); pos = next) {
        const std::string_view line =
            std::string_view(bytes).substr(pos, LineEnd(bytes, pos, next) - pos);
        ++lineNo;
        styles.assign(line.size(), '\0');
        state = parser.ColorString(line, state, styles);
        inBlock = MarkLine(line, inBlock, marks);
        ASSERT_EQ(Show(marks), Show(MarksOfStyles(styles))) << "line " << lineNo;
        ASSERT_EQ(inBlock, state == TMyParser::kInRemarkBlock) << "line " << lineNo;
      }

      // The lines of a document window (tabs expanded, trailing blanks dropped).
      TMemoSource source;
      source.ConfigureAsDocument();
      source.LoadFromFile(sample);
      source.SetSyntaxParser(&parser);
      source.ColorLines(0, source.LineCount() - 1, true);
      inBlock = false;
      for (int i = 0; i < source.LineCount(); ++i) {
        inBlock = MarkLine(source.StoredLine(i), inBlock, marks);
        ASSERT_EQ(Show(marks), Show(MarksOfStyles(source.LineColors(i)))) << "document line " << i;
      }
    }
  }
}

TEST(ZbCheckLexer, LineEnds) {
  struct TCase {
    std::string Text;
    std::vector<std::string> Lines;
  };
  const TCase cases[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\rb\r\r\n", {"a", "", "b", ""}},
      {"\n\n", {"", ""}},
      {"x", {"x"}},
      {"", {}},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> lines;
    for (size_t pos = 0, next = 0; pos < c.Text.size(); pos = next)
      lines.emplace_back(c.Text.substr(pos, LineEnd(c.Text, pos, next) - pos));
    EXPECT_EQ(lines, c.Lines) << c.Text;
  }
}

} // namespace
} // namespace marlo::zbcheck
