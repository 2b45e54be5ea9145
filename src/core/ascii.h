#pragma once
// Small helpers on bytes that ignore the code page: ASCII letter case, and blanks (every
// code up to 32, as line ends and trimming treat them). Letters of the code page fold
// through char_case.h instead.
#include <cstddef>
#include <string>
#include <string_view>

namespace marlo {

constexpr bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

constexpr char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string UpperAsciiText(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = UpperAscii(c);
  return s;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

constexpr std::string_view TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

constexpr std::string_view TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

constexpr std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

} // namespace marlo
