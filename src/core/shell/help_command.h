#pragma once
// What F1 starts: the browser of the Browser Path setting with the Help Path page as its
// one argument.
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

struct THelpCommand {
  enum TKind {
    Nothing,      // a path is empty: F1 does nothing
    PageNotFound, // a local page that is missing or cannot be read: Page names it
    Start,        // start Program with Arguments
  };
  TKind Kind = Nothing;
  std::string Program;
  std::vector<std::string> Arguments;
  std::string Page; // the page as it was looked for
};

// Whether `text` is a URL (a scheme of two or more letters, then ":"), passed on as it is.
bool IsUrl(std::string_view text);

// `browserPath` is read as Core Path is: an existing file is the program whole, blanks and
// all; otherwise a command line whose further words go before the page. `helpPath` is
// passed whole: a URL as it is, a relative path taken from `programFolder`.
THelpCommand MakeHelpCommand(std::string_view browserPath, std::string_view helpPath,
                             const std::string& programFolder);

} // namespace marlo
