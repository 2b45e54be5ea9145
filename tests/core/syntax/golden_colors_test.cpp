// Sample sources with the style digits they must get. Colouring through the cache a piece
// at a time, as a view does, is compared with colouring from the top in color_cache_test.cpp.
#include "../golden.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace marlo {
namespace {

const std::string kDir = std::string(MARLO_SOURCE_DIR) + "/tests/data/colors/";

TEST(GoldenColors, SamplesColourAsExpected) {
  TMyParser parser(LoadKeywordFile(kDir + "keywords.txt"));
  std::vector<std::filesystem::path> samples;
  for (const auto& entry : std::filesystem::directory_iterator(kDir))
    if (entry.path().extension() == ".zba") samples.push_back(entry.path());
  std::sort(samples.begin(), samples.end());
  ASSERT_GE(samples.size(), 5u);
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    TMemoSource source;
    source.ConfigureAsDocument();
    source.LoadFromFile(sample.string());
    source.SetSyntaxParser(&parser);
    source.ColorLines(0, source.LineCount() - 1, true);
    std::string digits;
    for (int i = 0; i < source.LineCount(); ++i) {
      for (char c : source.LineColors(i)) digits += static_cast<char>('0' + c);
      digits += '\n';
    }
    EXPECT_TRUE(test::MatchesGolden(
        digits, std::filesystem::path(sample).replace_extension(".colors").string()));
  }
}

} // namespace
} // namespace marlo
