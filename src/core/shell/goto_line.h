#pragma once
// What the Go to Line Number box accepts.
#include <string_view>

namespace marlo {

// The 0-based line that `text` names in a text of `lineCount` lines: an optional sign and
// decimal digits, blanks around; any number below 1 is the first line, any beyond the last
// (however many digits) the last. False for any other text.
bool ParseGotoLine(std::string_view text, int lineCount, int& line);

} // namespace marlo
