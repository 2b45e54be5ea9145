#pragma once
// What the report shows of the core's log: its first line, and the 1-based line number
// that line names after the word LINE.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlo::build {

struct TCoreReport {
  bool Show = false; // false: the report shows nothing
  std::string Text;  // the first line, bytes as they are
  // The digits that directly follow the first "LINE " (any case), at most 12 of them.
  std::optional<std::uint64_t> Line;
};

// The first line ends at CR, LF or CR LF, or at a NUL byte, as a document's text would;
// a log that is empty or whose first line holds only blanks (codes up to 32) shows nothing.
TCoreReport ReadCoreLog(std::string_view bytes);

} // namespace marlo::build
