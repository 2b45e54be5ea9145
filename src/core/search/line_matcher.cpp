#include "core/search/line_matcher.h"

#include "core/text/char_case.h"

#include <algorithm>

namespace marlo {

TLineMatcher::TLineMatcher(std::string_view text, bool caseSensitive, bool wholeWords, bool regex,
                           const std::bitset<256>& delimiters)
    : text_(text), caseSensitive_(caseSensitive), wholeWords_(wholeWords), delimiters_(delimiters) {
  for (int c = 0; c < 256; ++c)
    upper_[c] =
        caseSensitive ? static_cast<unsigned char>(c) : UpperChar(static_cast<unsigned char>(c));
  if (regex && !text.empty()) {
    mask_ = std::make_unique<TSearchMask>(text, caseSensitive);
    return;
  }
  for (char& c : text_) c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
  if (!text_.empty())
    for (int c = 0; c < 256; ++c)
      firstBytes_.set(c, upper_[c] == static_cast<unsigned char>(text_[0]));
}

bool TLineMatcher::Find(std::string_view line, int start, bool forward, bool allowEmptyAtStart,
                        THit& hit) const {
  steps_ = 0;
  if (text_.empty()) return false;
  const int n = static_cast<int>(line.size());
  if (forward ? start > n + 1 : start < 1) return false;
  start = forward ? std::max(start, 1) : std::min(start, n + 1);
  return mask_ ? FindMask(line, start, forward, allowEmptyAtStart, hit)
               : FindText(line, start, forward, hit);
}

bool TLineMatcher::IsDelimiter(std::string_view line, int pos) const {
  return delimiters_.test(static_cast<unsigned char>(line[static_cast<std::size_t>(pos) - 1]));
}

// The first position of the word around pos (a non-delimiter).
int TLineMatcher::WordStart(std::string_view line, int pos) const {
  while (pos > 1 && !IsDelimiter(line, pos - 1)) --pos;
  return pos;
}

// The position just past the word around pos (a non-delimiter).
int TLineMatcher::WordEnd(std::string_view line, int pos) const {
  const int n = static_cast<int>(line.size());
  while (pos <= n && !IsDelimiter(line, pos)) ++pos;
  return pos;
}

bool TLineMatcher::TextAt(std::string_view line, int pos) const {
  ++steps_;
  const char* at = line.data() + pos - 1;
  for (std::size_t i = 0; i < text_.size(); ++i)
    if (upper_[static_cast<unsigned char>(at[i])] != static_cast<unsigned char>(text_[i]))
      return false;
  return true;
}

// The first occurrence of the text at or after pos, 0 when none.
int TLineMatcher::NextText(std::string_view line, int pos) const {
  const int last = static_cast<int>(line.size() - text_.size()) + 1;
  if (text_.size() > line.size() || pos > last) return 0;
  if (caseSensitive_) {
    ++steps_;
    const std::size_t at = line.find(text_, static_cast<std::size_t>(pos) - 1);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  }
  for (; pos <= last; ++pos)
    if (firstBytes_.test(static_cast<unsigned char>(line[pos - 1])) && TextAt(line, pos))
      return pos;
  return 0;
}

// The last occurrence of the text at or before pos, 0 when none.
int TLineMatcher::PrevText(std::string_view line, int pos) const {
  if (text_.size() > line.size()) return 0;
  pos = std::min(pos, static_cast<int>(line.size() - text_.size()) + 1);
  if (pos < 1) return 0;
  if (caseSensitive_) {
    ++steps_;
    const std::size_t at = line.rfind(text_, static_cast<std::size_t>(pos) - 1);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  }
  for (; pos >= 1; --pos)
    if (firstBytes_.test(static_cast<unsigned char>(line[pos - 1])) && TextAt(line, pos))
      return pos;
  return 0;
}

// An occurrence inside a word, or longer or shorter than it, is no whole word; the search
// then moves past that word, which cannot hold one either.
bool TLineMatcher::FindText(std::string_view line, int start, bool forward, THit& hit) const {
  const int len = static_cast<int>(text_.size());
  auto wholeWord = [&](int pos) {
    return !IsDelimiter(line, pos) && (pos == 1 || IsDelimiter(line, pos - 1)) &&
           WordEnd(line, pos) == pos + len;
  };
  for (int pos = start; pos >= 1;) {
    pos = forward ? NextText(line, pos) : PrevText(line, pos);
    if (pos == 0) return false;
    if (!wholeWords_ || wholeWord(pos)) {
      hit = {pos, len};
      return true;
    }
    if (IsDelimiter(line, pos))
      pos += forward ? 1 : -1;
    else
      pos = forward ? WordEnd(line, pos) : WordStart(line, pos) - 1;
  }
  return false;
}

// As whole words a mask is tried at word starts only: a match elsewhere never counts. Going
// backward from inside a word, its start is the first place tried.
bool TLineMatcher::FindMask(std::string_view line, int start, bool forward, bool allowEmptyAtStart,
                            THit& hit) const {
  if (!run_)
    run_ = std::make_unique<TSearchMask::TLineRun>(*mask_, line, &OnCancelPoll);
  else
    run_->Reset(line, &OnCancelPoll);
  TSearchMask::TLineRun& run = *run_;
  const int n = static_cast<int>(line.size());
  bool found = false;
  if (wholeWords_) {
    int pos = forward ? start : std::min(start, n);
    while (!found && pos >= 1 && pos <= n) {
      if (IsDelimiter(line, pos)) {
        pos += forward ? 1 : -1;
        continue;
      }
      const int word = WordStart(line, pos);
      const int end = WordEnd(line, pos);
      if (!forward || word == pos) {
        const int len = run.MatchAt(word);
        found = len == end - word;
        if (found) hit = {word, len};
      }
      pos = forward ? end : word - 1;
    }
  } else {
    for (int pos = forward ? run.NextStart(start) : run.PrevStart(start); pos >= 1 && pos <= n + 1;
         pos = forward ? run.NextStart(pos + 1) : run.PrevStart(pos - 1)) {
      const int len = run.MatchAt(pos);
      if (len < 0 || (len == 0 && pos == start && !allowEmptyAtStart)) continue;
      hit = {pos, len};
      found = true;
      break;
    }
  }
  steps_ = run.Steps();
  return found;
}

} // namespace marlo
