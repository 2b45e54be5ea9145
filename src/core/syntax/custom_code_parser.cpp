#include "core/syntax/custom_code_parser.h"

#include "core/ascii.h"
#include "core/text/char_case.h"

#include <algorithm>
#include <cstring>

namespace marlo {

TCharSet CharRange(unsigned char first, unsigned char last) {
  TCharSet set;
  for (unsigned c = first; c <= last; ++c) set.set(c);
  return set;
}

TCharSet CharsOf(std::string_view chars) {
  TCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

int CompareKeywordText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = UpperChar(static_cast<unsigned char>(a[i]));
    unsigned char y = UpperChar(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameKeywordText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareKeywordText(a, b) == 0;
}

TCustomCodeParser::TCustomCodeParser() = default;

TCustomCodeParser::~TCustomCodeParser() = default;

void TCustomCodeParser::AddTokenHandler(std::initializer_list<int> states, const TCharSet& chars,
                                        const THandler& handler) {
  for (int state : states) {
    if (state < 0) continue;
    if (static_cast<size_t>(state) >= tables_.size())
      tables_.resize(static_cast<size_t>(state) + 1);
    TTable& table = tables_[static_cast<size_t>(state)];
    for (size_t c = 0; c < 256; ++c)
      if (chars.test(c)) table[c] = handler;
  }
}

void TCustomCodeParser::InitDefaultHandlers() {
  AddTokenHandler({0}, CharRange(33, 255), [this] { return ParseDelimiter(); });
  AddTokenHandler({0}, CharsOf("\r"), [this] { return ParseLineBreakCR(); });
  AddTokenHandler({0}, CharsOf("\n"), [this] { return ParseLineBreakLF(); });
}

void TCustomCodeParser::ClearColors(int /*index*/, std::string_view text, std::string& colors) {
  colors.assign(text.size(), '\0');
}

int TCustomCodeParser::ColorString(std::string_view text, int startState, std::string& colors) {
  if (text.empty() || colors.empty()) return startState;
  state_ = startState;
  lineStart_ = pos_ = tokenStart_ = text.data();
  end_ = text.data() + text.size();
  lastTokenKind_ = -1;
  if (colors.size() != text.size()) colors.resize(text.size(), '\0');
  char* out = colors.data();
  const char* begin = text.data(); // line breaks inside the text move lineStart_
  for (int kind; (kind = NextToken()) != 0;) {
    size_t from = static_cast<size_t>(tokenStart_ - begin);
    size_t to = std::min(static_cast<size_t>(pos_ - begin), text.size());
    if (to > from) std::memset(out + from, kind, to - from);
  }
  return state_;
}

int TCustomCodeParser::NextToken() {
  // The state changes only inside handlers, so the table is looked up again after each.
  const TTable* table = nullptr;
  auto pickTable = [&] {
    table = (state_ >= 0 && static_cast<size_t>(state_) < tables_.size())
                ? &tables_[static_cast<size_t>(state_)]
                : nullptr;
  };
  pickTable();
  for (;;) {
    tokenStart_ = pos_;
    unsigned char c = UAt(pos_);
    if (c == 0) {
      lastTokenKind_ = 0;
      return 0;
    }
    if (!table || !(*table)[c]) {
      ++pos_; // the character forms no token
      continue;
    }
    int kind = (*table)[c]();
    if (pos_ == tokenStart_) ++pos_; // a handler that took nothing must not stall the scan
    if (kind == -1) {
      pickTable();
      continue;
    }
    lastTokenKind_ = kind;
    return kind;
  }
}

std::string_view TCustomCodeParser::TokenText() const {
  if (!tokenStart_ || pos_ < tokenStart_) return {};
  return {tokenStart_, static_cast<size_t>(pos_ - tokenStart_)};
}

int TCustomCodeParser::ParseToEndOfLine() {
  ++pos_;
  for (unsigned char c; (c = UAt(pos_)) >= 32 || c == '\t'; ++pos_) {
  }
  return tkComment;
}

int TCustomCodeParser::ParseQuoted(char delimiter) {
  for (;;) {
    ++pos_; // the opening delimiter, or the second of a doubled one
    for (unsigned char c; (c = UAt(pos_)) != static_cast<unsigned char>(delimiter); ++pos_) {
      if (c == 0 || (c < 32 && c != '\t')) {
        unterminated_ = true;
        return tkString;
      }
    }
    ++pos_;
    if (At(pos_) != delimiter) return tkString;
  }
}

void TCustomCodeParser::StepExponent() {
  ++pos_; // E or e
  if (At(pos_) == '+' || At(pos_) == '-') ++pos_;
  while (At(pos_) >= '0' && At(pos_) <= '9') ++pos_;
}

int TCustomCodeParser::ParseNumber() {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  ++pos_;
  while (digit(At(pos_))) ++pos_;
  if (At(pos_) == '.' && digit(At(pos_ + 1))) {
    ++pos_;
    while (digit(At(pos_))) ++pos_;
    if (At(pos_) == 'E' || At(pos_) == 'e') StepExponent();
    return tkFloat;
  }
  if (At(pos_) == 'E' || At(pos_) == 'e') {
    StepExponent();
    return tkFloat;
  }
  return tkInteger;
}

int TCustomCodeParser::ParseIdentifier() {
  ++pos_;
  for (char c; (c = At(pos_)), (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                   (c >= '0' && c <= '9') || c == '_';)
    ++pos_;
  return IsKeyword(TokenText()) ? tkReservedWord : tkIdentifier;
}

int TCustomCodeParser::ParseDelimiter() {
  ++pos_;
  return tkDelimiter;
}

int TCustomCodeParser::ParseLineBreakCR() {
  ++pos_;
  if (At(pos_) == '\n') ++pos_;
  ++lineIndex_;
  lineStart_ = pos_;
  return -1;
}

int TCustomCodeParser::ParseLineBreakLF() {
  ++pos_;
  if (At(pos_) == '\r') ++pos_;
  ++lineIndex_;
  lineStart_ = pos_;
  return -1;
}

uint32_t TCustomCodeParser::KeywordHash(std::string_view text) {
  uint32_t h = static_cast<uint32_t>(text.size()) - 1u;
  for (char ch : text) {
    const uint32_t u = static_cast<unsigned char>(UpperAscii(ch));
    h = (h ^ u) * 2u;
  }
  return (h >> 1) & 255u;
}

bool TCustomCodeParser::IsKeyword(std::string_view text) {
  const auto& bucket = buckets_[KeywordHash(text)];
  if (bucket.empty()) return false;
  for (const auto& [word, index] : bucket) {
    if (!SameKeywordText(word, text)) continue;
    matchedKeyword_ = index;
    return !matchKeywordCase_ || sorted_[static_cast<size_t>(index)] == text;
  }
  return false;
}

void TCustomCodeParser::SetKeywordLines(std::vector<std::string> lines) {
  keywordLines_ = std::move(lines);
  RebuildKeywords();
  NotifyChanged();
}

void TCustomCodeParser::RebuildKeywords() {
  sorted_.clear();
  for (auto it = keywordLines_.rbegin(); it != keywordLines_.rend(); ++it) {
    const std::string_view line = Trim(*it);
    if (!line.empty()) sorted_.emplace_back(line);
  }
  // A sorted list keeps one of several entries that compare equal.
  std::stable_sort(sorted_.begin(), sorted_.end(), [](const std::string& a, const std::string& b) {
    return CompareKeywordText(a, b) < 0;
  });
  sorted_.erase(
      std::unique(sorted_.begin(), sorted_.end(),
                  [](const std::string& a, const std::string& b) { return SameKeywordText(a, b); }),
      sorted_.end());
  for (auto& bucket : buckets_) bucket.clear();
  for (int i = static_cast<int>(sorted_.size()) - 1; i >= 0; --i)
    buckets_[KeywordHash(sorted_[static_cast<size_t>(i)])].emplace_back(
        sorted_[static_cast<size_t>(i)], i);
}

void TCustomCodeParser::PushToken() {
  TTokenData d;
  d.TokenKind = lastTokenKind_;
  d.State = state_;
  d.LineIndex = lineIndex_;
  d.Position = pos_ - lineStart_;
  d.TokenStart = tokenStart_ - lineStart_;
  d.MatchedKeyword = matchedKeyword_;
  d.LineStart = lineStart_;
  d.Unterminated = unterminated_;
  tokenStack_.push_back(d);
}

void TCustomCodeParser::PopToken() {
  if (tokenStack_.empty()) return;
  TTokenData d = tokenStack_.back();
  tokenStack_.pop_back();
  lastTokenKind_ = d.TokenKind;
  state_ = d.State;
  lineIndex_ = d.LineIndex;
  lineStart_ = d.LineStart;
  pos_ = lineStart_ + d.Position;
  tokenStart_ = lineStart_ + d.TokenStart;
  matchedKeyword_ = d.MatchedKeyword;
  unterminated_ = d.Unterminated;
}

} // namespace marlo
