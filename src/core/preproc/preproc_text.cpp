#include "core/preproc/preproc_text.h"

namespace marlo::preproc {

std::string_view TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

std::string_view TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

void TrimRightInPlace(std::string& s) {
  s.resize(TrimRight(s).size());
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
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

} // namespace marlo::preproc
