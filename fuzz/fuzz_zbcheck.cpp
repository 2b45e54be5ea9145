// zbcheck's checker on arbitrary bytes: no crash, no sanitizer report, an error always on a
// line that was read, the same answer whatever the line breaks are made of, and strings and
// remarks exactly where the highlighter colours them, line for line.
#include "core/syntax/my_parser.h"
#include "zbcheck/zb_checker.h"
#include "zbcheck/zb_lexer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace marlo;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_zbcheck: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const zbcheck::TCheckResult result = zbcheck::CheckSource(source);
  if (!result.Clean())
    Require(result.Line >= 1 && result.Line <= result.LineCount, "an error outside the lines read");

  static TMyParser parser; // no keyword list: none holds the word REM
  std::string joined, styles, marks;
  int state = TMyParser::kNormal;
  bool inBlock = false;
  size_t lines = 0;
  for (size_t pos = 0, next = 0; pos < source.size(); pos = next) {
    const std::string_view line = source.substr(pos, zbcheck::LineEnd(source, pos, next) - pos);
    ++lines;
    joined.append(line).append("\n");
    styles.assign(line.size(), '\0');
    state = parser.ColorString(line, state, styles);
    inBlock = zbcheck::MarkLine(line, inBlock, marks);
    for (size_t i = 0; i < line.size(); ++i) {
      const char expected = styles[i] == tkString    ? zbcheck::bmString
                            : styles[i] == tkComment ? zbcheck::bmRemark
                                                     : zbcheck::bmCode;
      Require(marks[i] == expected, "a byte the highlighter colours otherwise");
    }
    Require(inBlock == (state == TMyParser::kInRemarkBlock), "a remark block state differs");
  }
  if (result.Clean()) Require(result.LineCount == lines, "not every line was read");

  const zbcheck::TCheckResult again = zbcheck::CheckSource(joined);
  Require(again.Message == result.Message && again.Line == result.Line &&
              again.LineCount == result.LineCount,
          "other line breaks give another answer");
  return 0;
}
