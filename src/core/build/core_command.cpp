#include "core/build/core_command.h"

#include "core/ascii.h"
#include "core/shell/document_files.h"

#include <filesystem>
#include <system_error>

namespace marlo::build {

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        word += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        word += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (IsBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '"')
        quoted = true;
      else
        word += c;
    }
  }
  // A group left open runs to the end.
  if (inWord) words.push_back(std::move(word));
  return words;
}

TProgramText SplitProgramText(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return {};
  std::error_code ec;
  const std::filesystem::path whole{std::string(trimmed)};
  if (std::filesystem::exists(whole, ec) && !std::filesystem::is_directory(whole, ec))
    return {std::string(trimmed), {}};
  std::vector<std::string> words = SplitCommandLine(trimmed);
  TProgramText result;
  if (words.empty()) return result;
  result.Program = std::move(words.front());
  result.Words.assign(std::make_move_iterator(words.begin() + 1),
                      std::make_move_iterator(words.end()));
  return result;
}

bool MakeCoreCommand(std::string_view corePath, std::string_view switchText,
                     std::string_view exePath, std::string_view tempName, TCoreCommand& out) {
  TProgramText core = SplitProgramText(corePath);
  if (core.Program.empty()) return false;
  out.Program = std::move(core.Program);
  out.Arguments = std::move(core.Words);
  for (std::string& word : SplitCommandLine(switchText)) out.Arguments.push_back(std::move(word));
  if (!exePath.empty()) {
    const std::string exe(exePath);
    out.Arguments.push_back(exe[0] == '/' ? AbsoluteFileName(exe, std::string())
                                          : AbsoluteFileName(exe, CurrentFolder()));
  }
  out.Arguments.emplace_back(tempName);
  return true;
}

} // namespace marlo::build
