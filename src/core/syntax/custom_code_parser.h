#pragma once
// A table-driven tokenizer that colours one line at a time. Highlighters register small
// handlers, each recognising one kind of token that starts with a given character in a
// given state; the style byte written for a token is its kind.
#include "core/syntax/text_styles.h"
#include "core/text/line_parser.h"

#include <array>
#include <bitset>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

using TCharSet = std::bitset<256>;
// The characters from `first` to `last`, both included.
TCharSet CharRange(unsigned char first, unsigned char last);
TCharSet CharsOf(std::string_view chars);

// A snapshot of the scanner, to be pushed and popped by highlighters that look ahead.
struct TTokenData {
  int TokenKind = -1;
  int State = 0;
  int LineIndex = 0;
  long Position = 0;   // offset of the current position from the line start
  long TokenStart = 0; // offset of the token start from the line start
  int MatchedKeyword = -1;
  const char* LineStart = nullptr;
  bool Unterminated = false;
  int Reserved = 0;
};

class TCustomCodeParser : public TLineParser {
public:
  // Consumes a token at the token start and returns its kind, or -1 for characters that
  // form no token.
  using THandler = std::function<int()>;

  TCustomCodeParser();
  ~TCustomCodeParser() override;
  TCustomCodeParser(const TCustomCodeParser&) = delete;
  TCustomCodeParser& operator=(const TCustomCodeParser&) = delete;

  void AddTokenHandler(std::initializer_list<int> states, const TCharSet& chars,
                       const THandler& handler);
  // Delimiters for every printable character and the line-break handlers, in state 0.
  void InitDefaultHandlers();

  void SetLineIndex(int index) override { lineIndex_ = index; }
  int LineIndex() const { return lineIndex_; }
  void ClearColors(int index, std::string_view text, std::string& colors);
  int ColorString(std::string_view text, int startState, std::string& colors) override;
  // Scans from the current position to the next token; 0 at the end of the line.
  int NextToken();

  int State() const { return state_; }
  void SetState(int state) { state_ = state; }
  int LastTokenKind() const { return lastTokenKind_; }
  bool Unterminated() const { return unterminated_; }
  std::string_view TokenText() const;
  int TokenColumn() const { return static_cast<int>(tokenStart_ - lineStart_) + 1; }
  int TokenLine() const { return lineIndex_ + 1; }

  // Keywords found by ParseIdentifier.
  const std::vector<std::string>& KeywordLines() const { return keywordLines_; }
  void SetKeywordLines(std::vector<std::string> lines);
  const std::vector<std::string>& SortedKeywords() const { return sorted_; }
  bool MatchKeywordCase() const { return matchKeywordCase_; }
  void SetMatchKeywordCase(bool on) { matchKeywordCase_ = on; }
  int MatchedKeyword() const { return matchedKeyword_; }
  bool IsKeyword(std::string_view text);
  static uint32_t KeywordHash(std::string_view text);

  // Fonts and backgrounds of its own for token kinds; none here, so text styles apply.
  virtual const TTextFont* TokenFont(int /*kind*/) const { return nullptr; }
  virtual bool TokenBackground(int /*kind*/, TColor& /*color*/) const { return false; }

  void PushToken();
  void PopToken();

protected:
  // The character at p, or NUL at and past the end of the line.
  char At(const char* p) const { return p < end_ ? *p : '\0'; }
  unsigned char UAt(const char* p) const { return static_cast<unsigned char>(At(p)); }

  int ParseToEndOfLine();
  int ParseQuoted(char delimiter);
  int ParseNumber();
  int ParseIdentifier();
  int ParseDelimiter();
  int ParseLineBreakCR();
  int ParseLineBreakLF();

  const char* pos_ = nullptr;        // current position
  const char* tokenStart_ = nullptr; // first character of the last token
  const char* lineStart_ = nullptr;
  const char* end_ = nullptr; // one past the line's last character
  int state_ = 0;
  int lastTokenKind_ = -1;
  int lineIndex_ = 0;
  bool unterminated_ = false;
  int matchedKeyword_ = -1;

private:
  using TTable = std::array<THandler, 256>;
  void RebuildKeywords();
  void StepExponent();

  std::vector<TTable> tables_;
  std::vector<std::string> keywordLines_;
  std::vector<std::string> sorted_;
  std::array<std::vector<std::pair<std::string, int>>, 256> buckets_;
  bool matchKeywordCase_ = false;
  std::vector<TTokenData> tokenStack_;
};

// Case-insensitive comparison of keywords per byte through the fixed letter table.
int CompareKeywordText(std::string_view a, std::string_view b);
bool SameKeywordText(std::string_view a, std::string_view b);

} // namespace marlo
