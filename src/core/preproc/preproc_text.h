#pragma once
// The lexical helpers the preprocessor passes share. Keywords and names compare without
// regard to ASCII letter case; trimming removes every character of code 32 or below.
#include "core/ascii.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

using TLines = std::vector<std::string>;

constexpr bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Character classes of the scanners, one table lookup each.
enum : unsigned char { kWordClass = 1, kNameClass = 2 };
struct TCharClasses {
  unsigned char Of[256] = {};
  constexpr TCharClasses() {
    for (int c = 0; c < 256; ++c) {
      const char ch = static_cast<char>(c);
      if (IsAsciiAlnum(ch) || ch == '_') Of[c] = kWordClass | kNameClass;
      if (ch == '#' || ch == '$') Of[c] = kNameClass;
    }
  }
};
inline constexpr TCharClasses kCharClasses;

// Letters, digits and "_".
inline bool IsWordChar(char c) {
  return kCharClasses.Of[static_cast<unsigned char>(c)] & kWordClass;
}
// Word characters and the type suffixes "#" and "$".
inline bool IsNameChar(char c) {
  return kCharClasses.Of[static_cast<unsigned char>(c)] & kNameClass;
}

void TrimRightInPlace(std::string& s);
// Trims the end of the line that starts at `start` of `s` and runs to its end.
inline void TrimLineEnd(std::string& s, size_t start) {
  size_t e = s.size();
  while (e > start && IsBlank(s[e - 1])) --e;
  s.resize(e);
}

// The 1-based number of line `index` in decimal, for status lines.
struct TLineNumber {
  explicit TLineNumber(int index);
  operator std::string_view() const { return std::string_view(digits, length); }
  char digits[16];
  size_t length;
};
// `upperPrefix` is upper case.
bool StartsWithNoCase(std::string_view s, std::string_view upperPrefix);
// `upperNeedle` is upper case and not empty.
bool ContainsNoCase(std::string_view s, std::string_view upperNeedle);

// Whether `line` holds "REMSTART" anywhere (any case), else "REMEND", in one scan.
enum TRemarkWords { kNoRemarkWords, kRemStart, kRemEnd };
TRemarkWords FindRemarkWords(std::string_view line);

// The word-level rules the replacing scans of every pass share.
// From `p` inside a string of `line`: moves `p` past the closing quote, or returns false
// when the string runs to the end of the line.
bool LeaveString(std::string_view line, size_t& p);
// Follows the remark words of a word that is not a name the pass replaces: REMSTART and
// REMEND open and close a remark block; true at REM outside a block, after which the rest
// of the line is a remark.
bool StartsRemark(std::string_view word, bool& inRemarkBlock);

// The line-level remark rules of the collecting steps: a line holding REMSTART opens a
// remark block, else one holding REMEND closes it, and lines inside a block are left alone.
class TLineRemarks {
public:
  // True when the line (which the caller has found neither empty nor a "`" remark) is a
  // remark line that must be passed through; updates the block state.
  bool PassesThrough(std::string_view line) {
    switch (FindRemarkWords(line)) {
    case kRemStart:
      inBlock_ = true;
      return true;
    case kRemEnd:
      inBlock_ = false;
      return true;
    default:
      return inBlock_;
    }
  }

private:
  bool inBlock_ = false;
};

} // namespace marlo::preproc
