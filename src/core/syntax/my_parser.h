#pragma once
// The Zorbic highlighter: remarks (REM, REMSTART...REMEND, the backquote), strings,
// numbers, identifiers and the keywords of keywords.txt, multi-word ones included.
#include "core/syntax/custom_code_parser.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TMyParser : public TCustomCodeParser {
public:
  // The states a line can end in.
  static constexpr int kNormal = 0;
  static constexpr int kInRemarkBlock = 2;

  // Takes every line of the keyword list as it stands.
  explicit TMyParser(const std::vector<std::string>& keywords = {});

  // Whether `text` is a listed keyword, compared without regard to case.
  bool IsKeywordText(std::string_view text) const;
  const std::vector<std::string>& Keywords() const { return keywords_; }

private:
  // The characters a word run is made of, letters folded: 26 + 10 + 8.
  static constexpr int kWordSymbols = 44;
  using TNode = std::array<int32_t, kWordSymbols>;

  int ParseWord();
  int ParseBlockRemark();
  bool StartsWithWord(const char* p, std::string_view upper) const;
  void BuildTrie();

  std::vector<std::string> keywords_; // sorted, without regard to case, no duplicates
  // The keywords that can occur in a word run, as a trie over folded word characters, so
  // that the scan learns at each character whether the run so far is a keyword and stops
  // as soon as no keyword begins with it.
  std::vector<TNode> trie_;
  std::vector<uint8_t> terminal_;
};

// The lines of a keyword file: cut at CR LF, CR and LF, ended by a NUL, nothing trimmed,
// no empty last line after a final line break.
std::vector<std::string> SplitKeywordLines(std::string_view bytes);
// Reads a keyword file; raises an error that names the file when it cannot be read.
std::vector<std::string> LoadKeywordFile(const std::string& fileName);

} // namespace marlo
