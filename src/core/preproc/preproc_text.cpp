#include "core/preproc/preproc_text.h"

#include <charconv>
#include <cstring>

namespace marlo::preproc {

void TrimRightInPlace(std::string& s) {
  s.resize(TrimRight(s).size());
}

TLineNumber::TLineNumber(int index) {
  const auto result =
      std::to_chars(digits, digits + sizeof digits, static_cast<long long>(index) + 1);
  length = static_cast<size_t>(result.ptr - digits);
}

bool StartsWithNoCase(std::string_view s, std::string_view upperPrefix) {
  return s.size() >= upperPrefix.size() &&
         EqualsNoCase(s.substr(0, upperPrefix.size()), upperPrefix);
}

bool ContainsNoCase(std::string_view s, std::string_view upperNeedle) {
  const size_t n = upperNeedle.size();
  if (s.size() < n) return false;
  const char first = upperNeedle[0];
  for (size_t i = 0; i + n <= s.size(); ++i)
    if (UpperAscii(s[i]) == first && EqualsNoCase(s.substr(i, n), upperNeedle)) return true;
  return false;
}

bool LeaveString(std::string_view line, size_t& p) {
  const void* quote =
      p < line.size() ? std::memchr(line.data() + p, '"', line.size() - p) : nullptr;
  if (!quote) return false;
  p = static_cast<size_t>(static_cast<const char*>(quote) - line.data()) + 1;
  return true;
}

bool StartsRemark(std::string_view word, bool& inRemarkBlock) {
  if (!inRemarkBlock && EqualsNoCase(word, "REM")) return true;
  if (EqualsNoCase(word, "REMSTART")) {
    inRemarkBlock = true;
  } else if (EqualsNoCase(word, "REMEND")) {
    inRemarkBlock = false;
  }
  return false;
}

TRemarkWords FindRemarkWords(std::string_view line) {
  // Both words begin with "REM"; visit each "R" or "r" once, upper and lower case taken
  // from two memchr streams merged in order.
  const char* const begin = line.data();
  const char* const end = begin + line.size();
  auto next = [end](const char* from, char c) {
    const void* hit = from < end ? std::memchr(from, c, static_cast<size_t>(end - from)) : nullptr;
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char* upper = next(begin, 'R');
  const char* lower = next(begin, 'r');
  bool remEnd = false;
  while (upper != end || lower != end) {
    const char* r = upper < lower ? upper : lower;
    const std::string_view rest(r, static_cast<size_t>(end - r));
    if (StartsWithNoCase(rest, "REMSTART")) return kRemStart;
    if (!remEnd && StartsWithNoCase(rest, "REMEND")) remEnd = true;
    if (r == upper) {
      upper = next(r + 1, 'R');
    } else {
      lower = next(r + 1, 'r');
    }
  }
  return remEnd ? kRemEnd : kNoRemarkWords;
}

} // namespace marlo::preproc
