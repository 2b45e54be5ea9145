#include "core/syntax/my_parser.h"

#include "core/platform/error.h"
#include "core/platform/file_system.h"

#include <algorithm>

namespace marlo {

namespace {

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '#' || c == '$' || c == '&' || c == '(' || c == ')' || c == '_' || c == '|';
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

} // namespace

TMyParser::TMyParser(const std::vector<std::string>& keywords) {
  keywords_ = keywords;
  std::stable_sort(
      keywords_.begin(), keywords_.end(),
      [](const std::string& a, const std::string& b) { return CompareKeywordText(a, b) < 0; });
  keywords_.erase(
      std::unique(keywords_.begin(), keywords_.end(),
                  [](const std::string& a, const std::string& b) { return SameKeywordText(a, b); }),
      keywords_.end());
  for (const std::string& k : keywords_) longest_ = std::max(longest_, k.size());

  AddTokenHandler({kNormal}, CharsOf("`"), [this] { return ParseToEndOfLine(); });
  AddTokenHandler({kNormal}, CharsOf("\""), [this] { return ParseQuoted('"'); });
  TCharSet wordStart =
      CharsOf("#_") | CharRange('0', '9') | CharRange('A', 'Z') | CharRange('a', 'z');
  AddTokenHandler({kNormal}, wordStart, [this] { return ParseWord(); });
  AddTokenHandler({kInRemarkBlock}, CharsOf("\t") | CharRange(32, 255),
                  [this] { return ParseBlockRemark(); });
}

bool TMyParser::IsKeywordText(std::string_view text) const {
  auto it = std::lower_bound(
      keywords_.begin(), keywords_.end(), text,
      [](const std::string& k, std::string_view t) { return CompareKeywordText(k, t) < 0; });
  return it != keywords_.end() && SameKeywordText(*it, text);
}

// Whether the rest of the line at p starts with `upper` (upper-case ASCII letters),
// compared in place with a-z folded.
bool TMyParser::StartsWithWord(const char* p, std::string_view upper) const {
  for (char u : upper) {
    if (AsciiUpper(At(p)) != u || At(p) == '\0') return false;
    ++p;
  }
  return true;
}

int TMyParser::ParseWord() {
  const char* s = pos_;
  // A remark runs to the end of the line; a block remark also opens the block.
  if (StartsWithWord(s, "REM") && (At(s + 3) == '\0' || At(s + 3) == ' '))
    return ParseToEndOfLine();
  if (StartsWithWord(s, "REMSTART") && (At(s + 8) == '\0' || At(s + 8) == ' ')) {
    int kind = ParseToEndOfLine();
    state_ = kInRemarkBlock;
    return kind;
  }

  // The run of word characters from s, remembering the longest keyword that ends before
  // a space or "(". No keyword is longer than the longest listed one, so the scan stops
  // looking once past that length: the result is the same and a long run costs no more
  // than one word.
  const char* p = s;
  const char* keywordEnd = nullptr;
  bool tooLong = false;
  for (;;) {
    char c = At(p);
    if ((c == ' ' || c == '(') && IsKeywordText({s, static_cast<size_t>(p - s)})) keywordEnd = p;
    ++p;
    if (!IsWordChar(At(p))) break;
    if (static_cast<size_t>(p - s) > longest_) {
      tooLong = true;
      break;
    }
  }
  if (!tooLong && IsKeywordText({s, static_cast<size_t>(p - s)})) {
    pos_ = p;
    return tkReservedWord;
  }
  if (keywordEnd) {
    pos_ = keywordEnd;
    return tkReservedWord;
  }
  if (*s >= '0' && *s <= '9') return ParseNumber();
  return ParseIdentifier();
}

int TMyParser::ParseBlockRemark() {
  const char* s = pos_;
  if (StartsWithWord(s, "REMEND") && (At(s + 6) == '\0' || At(s + 6) == ' ' || At(s + 6) == ':')) {
    pos_ = s + 6;
    state_ = kNormal;
    return tkComment;
  }
  ++pos_;
  return tkComment;
}

std::vector<std::string> SplitKeywordLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

std::vector<std::string> LoadKeywordFile(const std::string& fileName) {
  platform::FileBuffer file = platform::ReadWholeFile(fileName);
  return SplitKeywordLines({file.data.get(), file.size});
}

} // namespace marlo
