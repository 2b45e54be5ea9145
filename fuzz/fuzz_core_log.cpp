// Reads arbitrary bytes as a core's log: the first line is the text up to the first CR, LF
// or NUL, shown unless it is blank, and the line number is the run of digits that directly
// follows its first "LINE " (any case), at most 12 of them; that number, traced through a
// build list, lands on one of the list's document lines.
#include "core/build/build_list.h"
#include "core/build/core_log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_core_log: %s\n", what);
    std::abort();
  }
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marlo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const build::TCoreReport report = build::ReadCoreLog(bytes);

  // The same rules, written plainly.
  std::string first;
  for (const char c : bytes) {
    if (c == '\r' || c == '\n' || c == '\0') break;
    first += c;
  }
  bool blank = true;
  for (const char c : first) blank = blank && static_cast<unsigned char>(c) <= 32;
  Require(report.Show == !blank, "shown or not, against the first line");
  if (!report.Show) {
    Require(report.Text.empty() && !report.Line, "nothing shown, yet something read");
    return 0;
  }
  Require(report.Text == first, "the text is not the first line");
  std::string upper;
  for (const char c : first) upper += Upper(c);
  const size_t at = upper.find("LINE ");
  std::string digits;
  for (size_t k = at == std::string::npos ? first.size() : at + 5;
       k < first.size() && digits.size() < 12 && first[k] >= '0' && first[k] <= '9'; ++k)
    digits += first[k];
  Require(report.Line.has_value() == !digits.empty(), "a number found or missed");
  if (!report.Line) return 0;
  Require(*report.Line == std::stoull(digits), "the wrong number");
  Require(*report.Line <= 999999999999ULL, "more than 12 digits");

  // Traced through a list of a few lines with their break lines, it stays inside.
  std::vector<std::string> lines(size % 7, "PRINT 1");
  build::TBuildList list = build::MakeBuildList(lines);
  build::InsertBreakLines(list, "B #");
  const int line = build::DocumentLine(list, *report.Line);
  Require(line >= 0 && (lines.empty() ? line == 0 : line < static_cast<int>(lines.size())),
          "a document line outside the document");
  return 0;
}
