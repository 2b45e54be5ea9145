#include "core/search/line_matcher.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo {
namespace {

// The model's word delimiters: control characters, the space and ':'.
std::bitset<256> Delimiters() {
  std::bitset<256> delimiters;
  for (int c = 0; c <= 32; ++c) delimiters.set(c);
  delimiters.set(':');
  return delimiters;
}

enum TOpts { kPlain = 0, kCase = 1, kWords = 2, kRegex = 4 };

TEST(LineMatcher, FindsForwardAndBackward) {
  struct Case {
    std::string text;
    int opts;
    std::string line;
    int start;
    bool forward;
    bool allowEmpty;
    int pos; // 0: nothing found
    int len;
  };
  const bool F = true, B = false;
  const Case cases[] = {
      {"for", kPlain, "for for", 1, F, false, 1, 3},
      {"for", kPlain, "for for", 2, F, false, 5, 3},
      {"for", kPlain, "for for", 6, F, false, 0, 0},
      {"for", kPlain, "for for", 8, B, false, 5, 3},
      {"for", kPlain, "for for", 4, B, false, 1, 3},
      {"FOR", kPlain, "x For", 1, F, false, 3, 3},
      {"FOR", kCase, "x For", 1, F, false, 0, 0},
      {"FOR", kPlain, "For x", 9, B, false, 1, 3},
      {"for", kWords, "format for", 1, F, false, 8, 3},
      {"for", kWords, "format", 1, F, false, 0, 0},
      {"for", kWords, "for format", 11, B, false, 1, 3},
      {"for", kWords, "xfor for", 4, B, false, 0, 0},
      {"score", kWords, "str$(score)", 1, F, false, 0, 0},
      {"score", kPlain, "str$(score)", 1, F, false, 6, 5},
      {"score", kWords, "a:score", 1, F, false, 3, 5},
      {"a b", kWords, "a b", 1, F, false, 0, 0},
      {"\xE4", kPlain, "x\xC4", 1, F, false, 2, 1},
      {"\xC4", kCase, "x\xE4", 1, F, false, 0, 0},
      {"a.b", kPlain, "axb a.b", 1, F, false, 5, 3},
      {"aa", kPlain, "aaaa", 4, B, false, 3, 2},
      {"aa", kPlain, "aaaa", 2, B, false, 2, 2},
      {"aa", kPlain, "aaaa", 9, F, false, 0, 0},
      {"aa", kPlain, "aaaa", 0, B, false, 0, 0},
      {"", kPlain, "abc", 1, F, true, 0, 0},
      {"", kRegex, "abc", 1, F, true, 0, 0},
      {"r{ab}+c", kRegex, "xrababc", 1, F, false, 2, 6},
      {"[0-9]+", kRegex, "ab 123 4", 1, F, false, 4, 3},
      {"[0-9]+", kRegex, "ab 123 4", 5, F, false, 5, 2},
      {"[0-9]+", kRegex, "ab 123 4", 7, B, false, 6, 1},
      {"[a-c]+", kRegex, "xCBA", 1, F, false, 2, 3},
      {"\\.+", kRegex, "a...b", 1, F, false, 2, 3},
      {"{a*}*b", kRegex, "aaab", 1, F, false, 1, 4},
      {"{a*}*b", kRegex, "aaa", 1, F, false, 0, 0},
      {"$", kRegex, "ab", 1, F, false, 3, 0},
      {"$", kRegex, "ab", 3, F, false, 0, 0},
      {"$", kRegex, "ab", 3, F, true, 3, 0},
      {"$", kRegex, "ab", 2, B, false, 0, 0},
      {"^", kRegex, "ab", 1, F, true, 1, 0},
      {"^", kRegex, "ab", 1, F, false, 0, 0},
      {"^a", kRegex, "aa", 2, F, false, 0, 0},
      {"^a", kRegex, "aa", 2, B, false, 1, 1},
      {"x*", kRegex, "ab", 1, F, false, 2, 0},
      {"x*", kRegex, "ab", 1, F, true, 1, 0},
      {"a*", kRegex, "baa", 4, B, false, 3, 1},
      {"a*", kRegex, "baa", 4, B, true, 4, 0},
      {"f[a-z]*", kRegex | kWords, "format for", 1, F, false, 1, 6},
      {"f[a-z]*", kRegex | kWords, "format for", 2, F, false, 8, 3},
      {"f.*", kRegex | kWords, "fa fb", 1, F, false, 4, 2},
      {"x*", kRegex | kWords, "ab x", 1, F, true, 4, 1},
      {"x*", kRegex | kWords, "ab", 1, F, true, 0, 0},
      // Backward from inside a word its start is tried, whatever matched inside it.
      {"a*b", kRegex | kWords, "ab", 2, B, false, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " in " + c.line + " from " + std::to_string(c.start) +
                 (c.forward ? " forward" : " backward"));
    const TLineMatcher matcher(c.text, c.opts & kCase, c.opts & kWords, c.opts & kRegex,
                               Delimiters());
    THit hit{-1, -1};
    const bool found = matcher.Find(c.line, c.start, c.forward, c.allowEmpty, hit);
    EXPECT_EQ(found, c.pos != 0);
    if (found && c.pos != 0) {
      EXPECT_EQ(hit.Pos, c.pos);
      EXPECT_EQ(hit.Len, c.len);
    }
  }
}

} // namespace
} // namespace marlo
