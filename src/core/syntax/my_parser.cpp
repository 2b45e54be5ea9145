#include "core/syntax/my_parser.h"

#include "core/error.h"
#include "core/platform/file_system.h"

#include <algorithm>

namespace marlo {

namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Symbol numbers of the word characters, -1 for every other byte. Only ASCII letters fold,
// and no other letter of the code page folds into ASCII, so a keyword holding any other
// byte can never match a word run.
struct TWordSymbols {
  int8_t Of[256];
  constexpr TWordSymbols() : Of() {
    for (int c = 0; c < 256; ++c) Of[c] = -1;
    int n = 0;
    for (int c = 'A'; c <= 'Z'; ++c, ++n) Of[c] = Of[c + 32] = static_cast<int8_t>(n);
    for (int c = '0'; c <= '9'; ++c, ++n) Of[c] = static_cast<int8_t>(n);
    for (char c : {' ', '#', '$', '&', '(', ')', '_', '|'})
      Of[static_cast<unsigned char>(c)] = static_cast<int8_t>(n++);
  }
};
constexpr TWordSymbols kSymbols;

int Symbol(char c) {
  return kSymbols.Of[static_cast<unsigned char>(c)];
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
  BuildTrie();

  AddTokenHandler({kNormal}, CharsOf("`"), [this] { return ParseToEndOfLine(); });
  AddTokenHandler({kNormal}, CharsOf("\""), [this] { return ParseQuoted('"'); });
  TCharSet wordStart =
      CharsOf("#_") | CharRange('0', '9') | CharRange('A', 'Z') | CharRange('a', 'z');
  AddTokenHandler({kNormal}, wordStart, [this] { return ParseWord(); });
  AddTokenHandler({kInRemarkBlock}, CharsOf("\t") | CharRange(32, 255),
                  [this] { return ParseBlockRemark(); });
}

void TMyParser::BuildTrie() {
  trie_.assign(1, TNode{});
  terminal_.assign(1, 0);
  for (const std::string& k : keywords_) {
    if (k.empty() || !std::all_of(k.begin(), k.end(), [](char c) { return Symbol(c) >= 0; }))
      continue;
    size_t node = 0;
    for (char c : k) {
      size_t symbol = static_cast<size_t>(Symbol(c));
      int32_t next = trie_[node][symbol];
      if (next == 0) {
        next = static_cast<int32_t>(trie_.size());
        trie_.push_back(TNode{}); // may move the nodes: no reference is kept across it
        terminal_.push_back(0);
        trie_[node][symbol] = next;
      }
      node = static_cast<size_t>(next);
    }
    terminal_[node] = 1;
  }
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
  // a space or "(". The trie says at each character whether the run so far is a keyword,
  // and ends the scan once no keyword begins with it: a long run of words then costs no
  // more than its first word, and the result is that of scanning the whole run.
  const char* p = s;
  const char* keywordEnd = nullptr;
  size_t node = 0;
  bool dead = false;
  for (;;) {
    char c = At(p);
    if ((c == ' ' || c == '(') && terminal_[node]) keywordEnd = p;
    int symbol = Symbol(c);
    int32_t next = symbol < 0 ? 0 : trie_[node][static_cast<size_t>(symbol)];
    ++p;
    if (next == 0) {
      dead = true;
      break;
    }
    node = static_cast<size_t>(next);
    if (Symbol(At(p)) < 0 || At(p) == '\0') break;
  }
  if (!dead && terminal_[node]) {
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
  platform::TFileBuffer file = platform::ReadWholeFile(fileName);
  return SplitKeywordLines({file.data.get(), file.size});
}

} // namespace marlo
