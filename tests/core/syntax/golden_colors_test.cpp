// Sample sources with the style digits they must get, coloured through the cache as a
// whole and line by line, from LF and CR LF files alike.
#include "../golden.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace marlo {
namespace {

const std::string kDir = std::string(MARLO_SOURCE_DIR) + "/tests/data/colors/";

std::string Digits(std::string_view colors) {
  std::string out;
  for (char c : colors) out += static_cast<char>('0' + c);
  return out + "\n";
}

std::vector<std::filesystem::path> Samples() {
  std::vector<std::filesystem::path> samples;
  for (const auto& entry : std::filesystem::directory_iterator(kDir))
    if (entry.path().extension() == ".zba") samples.push_back(entry.path());
  std::sort(samples.begin(), samples.end());
  return samples;
}

TEST(GoldenColors, SamplesColourAsExpected) {
  TMyParser parser(LoadKeywordFile(kDir + "keywords.txt"));
  auto samples = Samples();
  ASSERT_GE(samples.size(), 5u);
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    const std::string golden = std::filesystem::path(sample).replace_extension(".colors");
    const std::string expected = test::ReadFile(golden);

    // The whole file through the cache.
    TMemoSource whole;
    whole.ConfigureAsDocument();
    whole.LoadFromFile(sample.string());
    whole.SetSyntaxParser(&parser);
    whole.ColorLines(0, whole.LineCount() - 1, true);
    std::string got;
    for (int i = 0; i < whole.LineCount(); ++i) got += Digits(whole.LineColors(i));
    EXPECT_TRUE(test::MatchesGolden(got, golden));

    // Line by line, each from the state the line above ended in, as a view scrolling
    // down a line at a time colours them.
    TMemoSource stepwise;
    stepwise.ConfigureAsDocument();
    stepwise.LoadFromFile(sample.string());
    stepwise.SetSyntaxParser(&parser);
    std::string byLine;
    for (int i = 0; i < stepwise.LineCount(); ++i) {
      stepwise.ColorLines(i, i, true);
      byLine += Digits(stepwise.LineColors(i));
    }
    EXPECT_EQ(byLine, expected);

    // The same text with the other line ends (samples that mix them on purpose aside).
    std::string bytes = test::ReadFile(sample.string()), other;
    bool crlf = bytes.find("\r\n") != std::string::npos;
    size_t crs = std::count(bytes.begin(), bytes.end(), '\r');
    size_t crlfs = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
      ++crlfs;
    if (crs != crlfs || (crlf && crlfs != size_t(std::count(bytes.begin(), bytes.end(), '\n'))))
      continue;
    for (char c : bytes) {
      if (crlf && c == '\r') continue;
      if (!crlf && c == '\n') other += '\r';
      other += c;
    }
    test::TempDir dir;
    std::string copy = dir.Path() + "/copy.zba";
    test::WriteFile(copy, other);
    TMemoSource converted;
    converted.ConfigureAsDocument();
    converted.LoadFromFile(copy);
    converted.SetSyntaxParser(&parser);
    std::string convertedDigits;
    for (int i = 0; i < converted.LineCount(); ++i)
      convertedDigits += Digits(converted.LineColors(i));
    EXPECT_EQ(convertedDigits, expected);
  }
}

TEST(GoldenColors, KeywordFileLineEndsDoNotMatter) {
  std::string lf = test::ReadFile(kDir + "keywords.txt"), crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(SplitKeywordLines(lf), SplitKeywordLines(crlf));
  // The shipped list loads and has what the editor relies on.
  auto shipped = LoadKeywordFile(std::string(MARLO_SOURCE_DIR) + "/data/keywords.txt");
  EXPECT_GE(shipped.size(), 400u);
  TMyParser parser(shipped);
  EXPECT_TRUE(parser.IsKeywordText("SYNC ON"));
}

} // namespace
} // namespace marlo
