// Reads arbitrary bytes as a search mask, with and without case. A refused pattern names a
// place inside it, in the message the user sees, and a short one is refused exactly where the
// naive reader refuses it; an accepted one matches the pattern's own bytes within the work
// bound, at every position of one line run, and tables alone find the same matches as plain
// backtracking that goes to tables when it runs out of steps.
#include "../tests/core/search/naive_mask.h"
#include "core/search/search_mask.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_search_mask: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string pattern(reinterpret_cast<const char*>(data), size);
  for (const bool caseSensitive : {true, false}) {
    int position = 0;
    try {
      using TLineRun = marlo::TSearchMask::TLineRun;
      const marlo::TSearchMask mask(pattern, caseSensitive);
      TLineRun::SetBacktracking(0);
      TLineRun tables(mask, pattern);
      TLineRun::SetBacktracking(TLineRun::kBacktracking);
      TLineRun run(mask, pattern);
      const int n = static_cast<int>(pattern.size());
      for (int pos = n + 1; pos >= 1; --pos) {
        const int len = run.MatchAt(pos);
        Require(len >= -1 && pos + len <= n + 1, "a match past the end of the line");
        Require(len == tables.MatchAt(pos), "backtracking and tables disagree");
      }
      Require(run.Steps() <= 8 * static_cast<std::size_t>(mask.Nodes() + 1) * (n + 2),
              "more work than the bound");
    } catch (const marlo::TSearchMaskError& e) {
      position = e.Position;
      Require(e.Pattern == pattern, "the error holds another pattern");
      Require(position >= 1 && position <= static_cast<int>(size), "error position outside");
      // Compared as C strings: a NUL in the pattern ends what() there.
      const std::string message =
          pattern + " is invalid mask at (" + std::to_string(position) + ")";
      Require(std::strcmp(e.what(), message.c_str()) == 0, "error message");
    }
    if (size <= 64) {
      int naivePosition = 0;
      try {
        marlo::test::TNaiveMask naive(pattern, caseSensitive);
      } catch (const marlo::test::TNaiveMaskError& e) {
        naivePosition = e.Position;
      }
      Require(position == naivePosition, "refused elsewhere than by the naive reader");
    }
  }
  return 0;
}
