#pragma once
// Where a Zorbic line holds strings and remarks, read exactly as the editor's colouring
// reads it: "..." with doubled quotes inside, ` and the word REM to the end of the line,
// REMSTART ... REMEND across lines. The checker skips what ScanLine reports, and MarkLine
// (built on the same scan) lets tests hold that against the highlighter byte for byte.
//
// No keyword list is needed: a keyword can only move where the highlighter starts its next
// word if the keyword itself holds the word REM, and none in keywords.txt does.
#include "core/ascii.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace marlo::zbcheck {

// What each byte can be, looked up rather than compared: the scan of a million lines
// spends its time in these tests.
enum TCharClass : unsigned char {
  ccWord = 1,      // letters, digits and "_": the characters of a word, a name or a label
  ccWordStart = 2, // where the highlighter starts a word: a word character or "#"
  ccEndsToken = 4, // a control character other than TAB (NUL too): it ends a remark or string
  ccStop = 8,      // what the scan of code stops at: a word start, a quote, "`", "(", ")", NUL
};
struct TCharClasses {
  unsigned char Of[256] = {};
  constexpr TCharClasses() {
    for (int c = 0; c < 32; ++c)
      if (c != '\t') Of[c] = ccEndsToken;
    for (int c = '0'; c <= '9'; ++c) Of[c] = ccWord | ccWordStart;
    for (int c = 'A'; c <= 'Z'; ++c) Of[c] = Of[c + 32] = ccWord | ccWordStart;
    Of[static_cast<unsigned char>('_')] = ccWord | ccWordStart;
    Of[static_cast<unsigned char>('#')] = ccWordStart;
    for (int c = 0; c < 256; ++c)
      if (Of[c] & ccWordStart) Of[c] |= ccStop;
    for (unsigned char c : {'"', '`', '(', ')', '\0'}) Of[c] |= ccStop;
  }
};
inline constexpr TCharClasses kCharClasses;

constexpr bool HasClass(char c, TCharClass cls) {
  return (kCharClasses.Of[static_cast<unsigned char>(c)] & cls) != 0;
}
constexpr bool EndsToken(char c) {
  return HasClass(c, ccEndsToken);
}
constexpr bool IsWordChar(char c) {
  return HasClass(c, ccWord);
}
constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// How far a line was read and the state its next line starts in.
struct TLineScan {
  size_t Length = 0;          // bytes read: the whole line, or up to a NUL, which ends it
  bool InRemarkBlock = false; // the line ends inside a REMSTART block
};

namespace lexer_detail {

// The byte at p, or NUL at the end, as the highlighter sees a line.
inline char At(const char* p, const char* end) {
  return p < end ? *p : '\0';
}

// Whether the text at p starts with `upper` (upper-case letters), a-z folded.
inline bool StartsWith(const char* p, const char* end, std::string_view upper) {
  if (static_cast<size_t>(end - p) < upper.size()) return false;
  for (size_t i = 0; i < upper.size(); ++i)
    if (UpperAscii(p[i]) != upper[i]) return false;
  return true;
}

// REM or REMSTART at a word start: followed by a space or the end of the line.
inline bool IsRemarkWord(const char* p, const char* end, std::string_view upper) {
  if (!StartsWith(p, end, upper)) return false;
  char next = At(p + upper.size(), end);
  return next == '\0' || next == ' ';
}

// REMEND inside a block, wherever it starts: followed by a space, ":" or the end.
inline bool IsRemend(const char* p, const char* end) {
  if (!StartsWith(p, end, "REMEND")) return false;
  char next = At(p + 6, end);
  return next == '\0' || next == ' ' || next == ':';
}

// The end of a remark that starts at p: up to a byte that ends tokens.
inline const char* RemarkEnd(const char* p, const char* end) {
  ++p;
  while (p < end && !EndsToken(*p)) ++p;
  return p;
}

// The end of a number at p, with the highlighter's fraction and exponent rules
// ("1.5e+3", "2e", "1." is 1 and a dot).
inline const char* NumberEnd(const char* p, const char* end) {
  ++p;
  while (IsDigit(At(p, end))) ++p;
  bool exponent = false;
  if (At(p, end) == '.' && IsDigit(At(p + 1, end))) {
    ++p;
    while (IsDigit(At(p, end))) ++p;
    exponent = At(p, end) == 'E' || At(p, end) == 'e';
  } else {
    exponent = At(p, end) == 'E' || At(p, end) == 'e';
  }
  if (exponent) {
    ++p;
    if (At(p, end) == '+' || At(p, end) == '-') ++p;
    while (IsDigit(At(p, end))) ++p;
  }
  return p;
}

} // namespace lexer_detail

// Scans one line (without its line break) that starts inside a REMSTART block or not, and
// tells the visitor, left to right, of every string and remark:
//   String(from, to, closed)  a string, closed by its quote or not
//   Remark(from, to)          a remark, or a piece of a REMSTART block
//   BlockOpened()             a REMSTART opened a block
//   Parenthesis(c)            "(" or ")" in code
// Bytes reported neither way are code. A NUL ends the line.
template <class TVisitor>
TLineScan ScanLine(std::string_view line, bool inRemarkBlock, TVisitor& visitor) {
  using namespace lexer_detail;
  const char* const begin = line.data();
  const char* const end = begin + line.size();
  const char* p = begin;
  auto offset = [begin](const char* q) { return static_cast<size_t>(q - begin); };
  while (p < end && *p != '\0') {
    const char c = *p;
    if (inRemarkBlock) {
      if (EndsToken(c)) {
        ++p;
        continue;
      }
      const char* from = p;
      while (p < end && !EndsToken(*p)) {
        if ((*p == 'R' || *p == 'r') && IsRemend(p, end)) {
          p += 6;
          inRemarkBlock = false;
          break;
        }
        ++p;
      }
      visitor.Remark(offset(from), offset(p));
      continue;
    }
    if (!HasClass(c, ccStop)) {
      ++p;
    } else if (c == '(' || c == ')') {
      visitor.Parenthesis(c);
      ++p;
    } else if (c == '`') {
      const char* to = RemarkEnd(p, end);
      visitor.Remark(offset(p), offset(to));
      p = to;
    } else if (c == '"') {
      const char* q = p + 1;
      bool closed = false;
      for (;;) {
        while (q < end && *q != '"' && !EndsToken(*q)) ++q;
        if (q == end || *q != '"') break;
        ++q;
        if (q < end && *q == '"') {
          ++q; // a doubled quote stands for one quote inside the string
          continue;
        }
        closed = true;
        break;
      }
      visitor.String(offset(p), offset(q), closed);
      p = q;
    } else if ((c == 'R' || c == 'r') && IsRemarkWord(p, end, "REM")) {
      const char* to = RemarkEnd(p, end);
      visitor.Remark(offset(p), offset(to));
      p = to;
    } else if ((c == 'R' || c == 'r') && IsRemarkWord(p, end, "REMSTART")) {
      const char* to = RemarkEnd(p, end);
      visitor.Remark(offset(p), offset(to));
      visitor.BlockOpened();
      inRemarkBlock = true;
      p = to;
    } else if (IsDigit(c)) {
      p = NumberEnd(p, end);
    } else { // a name, or a word the highlighter may find in its keyword list
      ++p;
      while (p < end && IsWordChar(*p)) ++p;
    }
  }
  return {offset(p), inRemarkBlock};
}

// What a byte of a line is, as MarkLine reports it.
enum TByteMark : char { bmCode = 0, bmString = 1, bmRemark = 2 };

// One TByteMark a byte of `line` in `marks` (bytes from a NUL on are code); returns whether
// the next line starts inside a REMSTART block.
bool MarkLine(std::string_view line, bool inRemarkBlock, std::string& marks);

// The line that starts at `from`: its end (before CR, LF or CR LF) and the start of the
// next line in `next`.
inline size_t LineEnd(std::string_view text, size_t from, size_t& next) {
  const char* const begin = text.data();
  const size_t n = text.size();
  // Lines end in LF far more often than in a lone CR: find the LF, then a CR before it.
  const void* lf = std::memchr(begin + from, '\n', n - from);
  size_t i = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : n;
  if (const void* cr = std::memchr(begin + from, '\r', i - from))
    i = static_cast<size_t>(static_cast<const char*>(cr) - begin);
  next = i;
  if (next < n) next += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
  return i;
}

} // namespace marlo::zbcheck
