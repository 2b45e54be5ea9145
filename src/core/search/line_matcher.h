#pragma once
// One line's part of Find and Replace: where the text to find occurs in a line, forward or
// backward from a column, as plain text or as a mask, optionally as a whole word. Knows
// nothing of the text model: the caller hands in each line (tab-expanded, trailing blanks
// removed) and moves on from what it gets back.
#include "core/search/search_mask.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace marlo {

struct THit {
  int Pos; // 1-based
  int Len;
};

class TLineMatcher {
public:
  // With regex, text is compiled as a TSearchMask (which may raise TSearchMaskError).
  // delimiters marks the bytes that end a word.
  TLineMatcher(std::string_view text, bool caseSensitive, bool wholeWords, bool regex,
               const std::bitset<256>& delimiters);

  // Forward, the first occurrence starting at or after start (1..length + 1); backward, the
  // last one starting at or before start (held to length + 1). An empty match at start itself
  // counts only with allowEmptyAtStart; as a whole word an empty match never counts.
  bool Find(std::string_view line, int start, bool forward, bool allowEmptyAtStart,
            THit& hit) const;

  // The work of the last Find (start positions and mask steps; for plain text, places compared).
  std::size_t Steps() const { return steps_; }

  // Called about every 65,536 steps of a mask; true stops the search with TSearchCancelled.
  std::function<bool()> OnCancelPoll;

private:
  bool FindText(std::string_view line, int start, bool forward, THit& hit) const;
  bool FindMask(std::string_view line, int start, bool forward, bool allowEmptyAtStart,
                THit& hit) const;
  int NextText(std::string_view line, int pos) const;
  int PrevText(std::string_view line, int pos) const;
  bool TextAt(std::string_view line, int pos) const;
  bool IsDelimiter(std::string_view line, int pos) const;
  int WordStart(std::string_view line, int pos) const;
  int WordEnd(std::string_view line, int pos) const;

  std::string text_; // upper-cased when ignoring case
  bool caseSensitive_;
  bool wholeWords_;
  std::bitset<256> delimiters_;
  std::unique_ptr<TSearchMask> mask_;
  // The mask's working memory, kept from line to line: Find is for one thread at a time.
  mutable std::unique_ptr<TSearchMask::TLineRun> run_;
  std::array<unsigned char, 256> upper_{}; // UpperChar, or every byte itself with case
  std::bitset<256> firstBytes_;            // the bytes plain text can start with
  mutable std::size_t steps_ = 0;
};

} // namespace marlo
