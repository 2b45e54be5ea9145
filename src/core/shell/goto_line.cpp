#include "core/shell/goto_line.h"

#include "core/ascii.h"

#include <algorithm>

namespace marlo {

bool ParseGotoLine(std::string_view text, int lineCount, int& line) {
  std::string_view t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  int last = std::max(0, lineCount - 1);
  // Clamped as the digits are read, so that no length of number can overflow.
  long long n = 0;
  for (char c : t) n = std::min<long long>(n * 10 + (c - '0'), 1LL << 40);
  if (negative || n < 1)
    line = 0;
  else
    line = static_cast<int>(std::min<long long>(n - 1, last));
  return true;
}

} // namespace marlo
