#include "core/shell/help_command.h"

#include "core/build/core_command.h"

#include <filesystem>
#include <fstream>

namespace marlo {

bool IsUrl(std::string_view text) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto schemeChar = [&](char c) {
    return letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
  };
  if (text.size() < 3 || !letter(text[0])) return false;
  size_t i = 1;
  while (i < text.size() && schemeChar(text[i])) ++i;
  return i >= 2 && i < text.size() && text[i] == ':';
}

THelpCommand MakeHelpCommand(std::string_view browserPath, std::string_view helpPath,
                             const std::string& programFolder) {
  THelpCommand c;
  if (browserPath.empty() || helpPath.empty()) return c;
  std::string page(helpPath);
  if (!IsUrl(page)) {
    if (page.front() != '/') page = programFolder + page;
    // A page that cannot be read is said here: a browser started on it would tell nobody.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(page, ec) ||
        !std::ifstream(page, std::ios::binary).is_open()) {
      c.Kind = THelpCommand::PageNotFound;
      c.Page = page;
      return c;
    }
  }
  build::TProgramText browser = build::SplitProgramText(browserPath);
  if (browser.Program.empty()) return c;
  c.Kind = THelpCommand::Start;
  c.Program = std::move(browser.Program);
  c.Arguments = std::move(browser.Words);
  c.Arguments.push_back(page);
  c.Page = page;
  return c;
}

} // namespace marlo
