// One line's search from random inputs: a flags byte (case, whole words, mask, empty match at
// the start, tables from the first step), then the text to find, a line feed, and the line.
// Find runs forward and backward from several columns; the work of each stays within a
// constant times the mask's nodes times the line's positions, and on short inputs the hit is
// the naive search's hit.
#include "../tests/core/search/naive_mask.h"
#include "core/search/line_matcher.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_search_match: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned flags = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = input.find('\n');
  const std::string_view text = input.substr(0, split);
  const std::string_view line =
      split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);
  const bool caseSensitive = flags & 1, wholeWords = flags & 2, regex = flags & 4,
             allowEmpty = flags & 8;
  std::bitset<256> delimiters;
  for (int c = 0; c <= 32; ++c) delimiters.set(c);
  delimiters.set(':');
  if (flags & 16) delimiters.set('a');

  std::size_t nodes = 1;
  try {
    if (regex) nodes += static_cast<std::size_t>(marlo::TSearchMask(text, caseSensitive).Nodes());
  } catch (const marlo::TSearchMaskError&) {
    return 0;
  }
  // (Bit 32 is part of the last start column too.)
  marlo::TSearchMask::TLineRun::SetBacktracking(
      flags & 32 ? 0 : marlo::TSearchMask::TLineRun::kBacktracking);
  const marlo::TLineMatcher matcher(text, caseSensitive, wholeWords, regex, delimiters);
  const int n = static_cast<int>(line.size());
  const bool small = text.size() <= 10 && line.size() <= 16;
  const int starts[] = {0, 1, 2, n / 2, n, n + 1, n + 2, static_cast<int>(flags >> 5)};
  for (const int start : starts) {
    for (const bool forward : {true, false}) {
      marlo::THit hit{0, 0};
      const bool found = matcher.Find(line, start, forward, allowEmpty, hit);
      if (found)
        Require(hit.Pos >= 1 && hit.Len >= 0 && hit.Pos + hit.Len <= n + 1 &&
                    (forward ? hit.Pos >= start : hit.Pos <= start),
                "a hit outside the line or on the wrong side of the start");
      if (regex)
        Require(matcher.Steps() <= 8 * nodes * static_cast<std::size_t>(n + 2),
                "more work than the bound");
      if (small) {
        marlo::THit expected{0, 0};
        const bool naiveFound =
            marlo::test::NaiveFind(text, caseSensitive, wholeWords, regex, delimiters, line, start,
                                   forward, allowEmpty, expected);
        Require(found == naiveFound, "found where the naive search does not, or the reverse");
        Require(!found || (hit.Pos == expected.Pos && hit.Len == expected.Len),
                "another hit than the naive search's");
      }
    }
  }
  return 0;
}
