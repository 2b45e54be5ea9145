#pragma once
// The messages of searching and replacing, in the words of the language table. Each
// stands in English until the table gives another.
#include <string>
#include <string_view>

namespace marlo {

struct TSearchTexts {
  std::string NotFound = "Search string '%s' not found";
  std::string InvalidMask = "%s is invalid mask at (%d)";
  std::string BlockInvalid = "Tried to search marked block but it is invalid";
  std::string CursorOutsideBlock =
      "Tried to search marked block from cursor but cursor is outside block";
  std::string ReplaceQuestion = "Replace this occurence of '%s'?";
  std::string GotoLineInvalid = "'%s' is not a line number";
};

// The texts of this run.
TSearchTexts& SharedSearchTexts();

// `text` with each "%s" replaced by `s` and each "%d" by `d`, in one pass, so that what
// the user typed is never read as a format; "%%" is one "%", any other "%" stays.
std::string FormatSearchText(std::string_view text, std::string_view s, long long d = 0);

} // namespace marlo
