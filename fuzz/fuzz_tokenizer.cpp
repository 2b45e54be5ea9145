// The highlighter on random keyword lists and random lines: no crash, no sanitizer
// report, and exactly the styles and end states of the plainly written rules.
// Input: a keyword file, a 0xFF byte, then source lines separated by line feeds.
#include "../tests/core/syntax/naive_highlighter.h"
#include "core/syntax/my_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\xFF');
  std::string_view keywordBytes = input.substr(0, split);
  std::string_view source = split == std::string_view::npos ? "" : input.substr(split + 1);

  auto keywords = marlo::SplitKeywordLines(keywordBytes);
  marlo::TMyParser fast(keywords);
  marlo::test::NaiveHighlighter plain(keywords);
  int fastState = 0, plainState = 0;
  while (!source.empty()) {
    size_t end = source.find('\n');
    std::string line(source.substr(0, end));
    source = end == std::string_view::npos ? "" : source.substr(end + 1);
    std::string expected, actual(line.size(), '\0');
    if (!line.empty()) {
      plainState = plain.ColorLine(line, plainState, expected);
      fastState = fast.ColorString(line, fastState, actual);
    } else {
      expected.clear();
    }
    if (line.find('\0') != std::string::npos) {
      // Both stop at a NUL; the bytes after it stay unstyled.
      expected.resize(actual.size(), '\0');
    }
    if (actual != expected || fastState != plainState) std::abort();
  }
  return 0;
}
