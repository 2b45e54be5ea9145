#pragma once
// The syntax check of zbcheck, the stand-in core that Marlo ships beside itself: the block
// structure, strings, parentheses, remark blocks and labels of a Zorbic source, in one pass
// over its bytes. Expressions, commands and the preprocessor's TYPE, DEFINE and GLOBAL are
// left to the real core.
#include <cstddef>
#include <string>
#include <string_view>

namespace marlo::zbcheck {

struct TCheckResult {
  std::string Message;  // the first error found, empty for a clean source
  size_t Line = 0;      // its 1-based line
  size_t LineCount = 0; // lines read; all of them unless an error stopped the reading
  bool Clean() const { return Message.empty(); }
};

// Checks a whole source. Lines end at CR, LF or CR LF; a final line break starts no line.
TCheckResult CheckSource(std::string_view source);

} // namespace marlo::zbcheck
