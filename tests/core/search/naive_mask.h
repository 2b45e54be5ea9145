#pragma once
// The search mask language matched the slow and obvious way, to hold TSearchMask and
// TLineMatcher against: a recursive reader and a recursive backtracking matcher that tries
// every repetition count, longest first, and matches a group's body to its own first match.
// Exponential on purpose-built patterns; meant for short patterns and lines only.
#include "core/search/line_matcher.h"
#include "core/text/char_case.h"

#include <algorithm>
#include <bitset>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlo::test {

struct TNaiveMaskError {
  int Position; // 1-based
};

class TNaiveMask {
public:
  TNaiveMask(std::string_view pattern, bool caseSensitive)
      : p_(pattern), caseSensitive_(caseSensitive) {
    std::size_t i = 0;
    items_ = ReadSequence(i, std::string::npos);
  }

  // The length of the match at pos (1-based), or -1.
  int MatchAt(std::string_view line, int pos) const {
    line_ = line;
    const int end = Sequence(items_, 0, pos);
    return end < 0 ? -1 : end - pos;
  }

private:
  struct TItem {
    char Kind = 'c'; // 'c' a character, '.', '[' a set, '^', '$', '{' a group
    unsigned char Char = 0;
    std::vector<std::pair<int, int>> Ranges;
    bool Negated = false;
    std::vector<TItem> Body;
    char Repeat = 0; // 0, '*' or '+'
  };

  [[noreturn]] static void Fail(std::size_t i) { throw TNaiveMaskError{static_cast<int>(i) + 1}; }

  // Items up to the end of the pattern, or up to the `}` of the group opened at brace.
  std::vector<TItem> ReadSequence(std::size_t& i, std::size_t brace) const {
    std::vector<TItem> items;
    while (i < p_.size()) {
      const char c = p_[i];
      if (c == '}') {
        if (brace == std::string::npos) Fail(i);
        ++i;
        return items;
      }
      if (c == '*' || c == '+') {
        const bool repeatable = !items.empty() && items.back().Repeat == 0 &&
                                items.back().Kind != '^' && items.back().Kind != '$';
        if (!repeatable) Fail(i);
        items.back().Repeat = c;
        ++i;
        continue;
      }
      TItem item;
      if (c == '{') {
        item.Kind = '{';
        ++i;
        item.Body = ReadSequence(i, i - 1);
      } else if (c == '[') {
        item = ReadSet(i);
      } else if (c == '\\') {
        if (i + 1 >= p_.size()) Fail(i);
        item.Char = static_cast<unsigned char>(p_[i + 1]);
        i += 2;
      } else {
        if (c == '.' || c == '^' || c == '$') item.Kind = c;
        item.Char = static_cast<unsigned char>(c);
        ++i;
      }
      items.push_back(std::move(item));
    }
    if (brace != std::string::npos) Fail(brace);
    return items;
  }

  TItem ReadSet(std::size_t& i) const {
    TItem set;
    set.Kind = '[';
    const std::size_t open = i++;
    if (i < p_.size() && p_[i] == '^') {
      set.Negated = true;
      ++i;
    }
    int low = -1;                         // a member that may still begin a range
    std::size_t dash = std::string::npos; // the `-` after low, when it makes a range
    for (;;) {
      if (i >= p_.size()) Fail(open);
      if (p_[i] == ']') break;
      const std::size_t at = i;
      bool escaped = false;
      if (p_[i] == '\\') {
        if (i + 1 >= p_.size()) Fail(i);
        escaped = true;
        ++i;
      }
      const int c = static_cast<unsigned char>(p_[i++]);
      if (dash != std::string::npos) {
        if (c < low) Fail(dash);
        set.Ranges.push_back({low, c});
        low = -1;
        dash = std::string::npos;
      } else if (!escaped && c == '-' && low >= 0 && i < p_.size() && p_[i] != ']') {
        dash = at;
      } else {
        if (low >= 0) set.Ranges.push_back({low, low});
        low = c;
      }
    }
    if (low >= 0) set.Ranges.push_back({low, low});
    if (set.Ranges.empty()) Fail(open);
    ++i;
    return set;
  }

  bool Same(int a, int b) const {
    return caseSensitive_ ? a == b
                          : UpperChar(static_cast<unsigned char>(a)) ==
                                UpperChar(static_cast<unsigned char>(b));
  }

  bool Accepts(const TItem& item, unsigned char c) const {
    if (item.Kind == '.') return true;
    if (item.Kind == 'c') return Same(item.Char, c);
    bool in = false;
    for (auto [low, high] : item.Ranges)
      for (int m = low; m <= high; ++m) in = in || Same(m, c);
    return in != item.Negated;
  }

  // One pass of an item at pos: its end, or -1.
  int Once(const TItem& item, int pos) const {
    const int n = static_cast<int>(line_.size());
    switch (item.Kind) {
    case '^':
      return pos == 1 ? pos : -1;
    case '$':
      return pos == n + 1 ? pos : -1;
    case '{':
      return Sequence(item.Body, 0, pos);
    default:
      return pos <= n && Accepts(item, static_cast<unsigned char>(line_[pos - 1])) ? pos + 1 : -1;
    }
  }

  // The first match of items[k..] at pos: every repetition count tried, longest first.
  int Sequence(const std::vector<TItem>& items, std::size_t k, int pos) const {
    if (k == items.size()) return pos;
    const TItem& item = items[k];
    std::vector<int> ends{pos};
    if (item.Repeat == 0) {
      ends[0] = Once(item, pos);
      return ends[0] < 0 ? -1 : Sequence(items, k + 1, ends[0]);
    }
    for (int at = pos;;) {
      const int next = Once(item, at);
      if (next < 0) break;
      ends.push_back(next);
      if (next == at) break;
      at = next;
    }
    const std::size_t fewest = item.Repeat == '+' ? 1 : 0;
    for (std::size_t j = ends.size(); j-- > fewest;)
      if (const int end = Sequence(items, k + 1, ends[j]); end >= 0) return end;
    return -1;
  }

  std::string p_;
  bool caseSensitive_;
  std::vector<TItem> items_;
  mutable std::string_view line_;
};

// Sets how far a line run backtracks before it keeps results in tables, for as long as it lives.
class TScopedBacktracking {
public:
  explicit TScopedBacktracking(int stepsPerNodePosition) {
    TSearchMask::TLineRun::SetBacktracking(stepsPerNodePosition);
  }
  ~TScopedBacktracking() {
    TSearchMask::TLineRun::SetBacktracking(TSearchMask::TLineRun::kBacktracking);
  }
  TScopedBacktracking(const TScopedBacktracking&) = delete;
  TScopedBacktracking& operator=(const TScopedBacktracking&) = delete;
};

// TLineMatcher::Find the slow way: every start position in turn, by a mask or by plain text.
inline bool NaiveFind(std::string_view text, bool caseSensitive, bool wholeWords, bool regex,
                      const std::bitset<256>& delimiters, std::string_view line, int start,
                      bool forward, bool allowEmptyAtStart, THit& hit) {
  if (text.empty()) return false;
  const int n = static_cast<int>(line.size());
  start = forward ? std::max(start, 1) : std::min(start, n + 1);
  const TNaiveMask mask(regex ? text : std::string_view{}, caseSensitive);
  auto same = [&](char a, char b) {
    return caseSensitive ? a == b
                         : UpperChar(static_cast<unsigned char>(a)) ==
                               UpperChar(static_cast<unsigned char>(b));
  };
  auto matchAt = [&](int pos) {
    if (regex) return mask.MatchAt(line, pos);
    if (pos - 1 + text.size() > line.size()) return -1;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (!same(line[pos - 1 + i], text[i])) return -1;
    return static_cast<int>(text.size());
  };
  auto delimiter = [&](int pos) {
    return delimiters.test(static_cast<unsigned char>(line[pos - 1]));
  };
  auto acceptable = [&](int pos, int len) {
    if (len < 0) return false;
    if (!wholeWords) return len > 0 || pos != start || allowEmptyAtStart;
    if (len == 0 || delimiter(pos) || (pos > 1 && !delimiter(pos - 1))) return false;
    for (int i = pos; i < pos + len; ++i)
      if (delimiter(i)) return false;
    return pos + len == n + 1 || delimiter(pos + len);
  };
  if (forward) {
    for (int pos = start; pos <= n + 1; ++pos)
      if (const int len = matchAt(pos); acceptable(pos, len)) {
        hit = {pos, len};
        return true;
      }
  } else {
    for (int pos = start; pos >= 1; --pos)
      if (const int len = matchAt(pos); acceptable(pos, len)) {
        hit = {pos, len};
        return true;
      }
  }
  return false;
}

} // namespace marlo::test
