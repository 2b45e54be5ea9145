#include "core/search/search_mask.h"

#include "core/text/char_case.h"

#include <array>
#include <string>
#include <utility>

namespace marlo {

TSearchMaskError::TSearchMaskError(std::string pattern, int position)
    : Error(pattern + " is invalid mask at (" + std::to_string(position) + ")"),
      Pattern(std::move(pattern)), Position(position) {}

ESearchTooComplex::ESearchTooComplex(std::string pattern, int lineLength)
    : Error(pattern + " is too complex for a line of " + std::to_string(lineLength) +
            " characters"),
      Pattern(std::move(pattern)), LineLength(lineLength) {}

const char* TSearchCancelled::what() const noexcept {
  return "search cancelled";
}

// Reads a pattern left to right into nodes; the first fault found is the one reported.
// Nesting is kept on a stack of its own, so a deep pattern costs no deep recursion.
class TSearchMask::TParser {
public:
  explicit TParser(TSearchMask& mask) : mask_(mask), p_(mask.pattern_) { literalSets_.fill(-1); }

  void Run() {
    open_.push_back({-1, -1, 0});
    int repeatable = -1; // the node a `*` or `+` here would repeat
    for (std::size_t i = 0; i < p_.size();) {
      const char c = p_[i];
      switch (c) {
      case '*':
      case '+':
        if (repeatable < 0) Fail(i);
        mask_.nodes_[repeatable].Repeat = c == '*' ? TRepeat::Star : TRepeat::Plus;
        repeatable = -1;
        ++i;
        break;
      case '.':
        repeatable = AddSet(AnySet());
        ++i;
        break;
      case '[':
        repeatable = AddSet(ReadSet(i));
        break;
      case '^':
      case '$':
        Add({.Kind = c == '^' ? TKind::LineStart : TKind::LineEnd});
        repeatable = -1;
        ++i;
        break;
      case '{':
        open_.push_back({Add({.Kind = TKind::Group}), -1, i});
        repeatable = -1;
        ++i;
        break;
      case '}':
        if (open_.size() == 1) Fail(i);
        repeatable = open_.back().Group;
        open_.pop_back();
        ++i;
        break;
      case '\\':
        if (i + 1 == p_.size()) Fail(i);
        repeatable = AddSet(LiteralSet(static_cast<unsigned char>(p_[i + 1])));
        i += 2;
        break;
      default:
        repeatable = AddSet(LiteralSet(static_cast<unsigned char>(c)));
        ++i;
      }
    }
    if (open_.size() > 1) Fail(open_.back().Brace);
  }

private:
  // One sequence being read: the top level or a group's body.
  struct TOpen {
    int Group;
    int Last;
    std::size_t Brace;
  };

  [[noreturn]] void Fail(std::size_t index) const {
    throw TSearchMaskError(mask_.pattern_, static_cast<int>(index) + 1);
  }

  int Add(TNode node) {
    const int index = static_cast<int>(mask_.nodes_.size());
    TOpen& seq = open_.back();
    if (seq.Last >= 0)
      mask_.nodes_[seq.Last].Next = index;
    else if (seq.Group >= 0)
      mask_.nodes_[seq.Group].Body = index;
    seq.Last = index;
    mask_.nodes_.push_back(node);
    return index;
  }

  int AddSet(int set) { return Add({.Kind = TKind::Set, .Set = set}); }

  // The line bytes a set of pattern bytes accepts: ignoring case, a byte is in when its upper
  // case is the upper case of a member.
  int Finish(const std::bitset<256>& members, bool negated) {
    std::bitset<256> accepts = members;
    if (!mask_.caseSensitive_) {
      std::bitset<256> upper;
      for (int c = 0; c < 256; ++c)
        if (members.test(c)) upper.set(UpperChar(static_cast<unsigned char>(c)));
      for (int c = 0; c < 256; ++c)
        accepts.set(c, upper.test(UpperChar(static_cast<unsigned char>(c))));
    }
    if (negated) accepts.flip();
    mask_.sets_.push_back(accepts);
    return static_cast<int>(mask_.sets_.size()) - 1;
  }

  int LiteralSet(unsigned char c) {
    if (literalSets_[c] < 0) {
      std::bitset<256> members;
      members.set(c);
      literalSets_[c] = Finish(members, false);
    }
    return literalSets_[c];
  }

  int AnySet() {
    if (anySet_ < 0) anySet_ = Finish(std::bitset<256>().set(), false);
    return anySet_;
  }

  // One member of a set at i, `\` taking the next byte literally; i moves past it.
  unsigned char SetMember(std::size_t& i) const {
    if (p_[i] == '\\') {
      if (i + 1 == p_.size()) Fail(i);
      i += 2;
      return static_cast<unsigned char>(p_[i - 1]);
    }
    return static_cast<unsigned char>(p_[i++]);
  }

  // The set opening at i; i moves past its `]`.
  int ReadSet(std::size_t& i) {
    const std::size_t open = i++;
    const bool negated = i < p_.size() && p_[i] == '^';
    if (negated) ++i;
    std::bitset<256> members;
    bool empty = true;
    for (;;) {
      if (i == p_.size()) Fail(open);
      if (p_[i] == ']') break;
      const unsigned char low = SetMember(i);
      unsigned char high = low;
      // A `-` makes a range only between two members; first, last or after a range it is one.
      if (i + 1 < p_.size() && p_[i] == '-' && p_[i + 1] != ']') {
        const std::size_t dash = i++;
        high = SetMember(i);
        if (high < low) Fail(dash);
      }
      for (int c = low; c <= high; ++c) members.set(c);
      empty = false;
    }
    if (empty) Fail(open);
    ++i;
    return Finish(members, negated);
  }

  TSearchMask& mask_;
  std::string_view p_;
  std::vector<TOpen> open_;
  std::array<int, 256> literalSets_;
  int anySet_ = -1;
};

TSearchMask::TSearchMask(std::string_view pattern, bool caseSensitive)
    : pattern_(pattern), caseSensitive_(caseSensitive) {
  TParser(*this).Run();
  Analyse();
}

// Where a match can start, and which nodes keep results per position: the runs, whose passes
// share them, and the groups whose body can end in more than one place, since then several
// positions go on from the same end. Nodes come after the nodes that lead to them, so one pass
// from the last to the first sees every follower first.
void TSearchMask::Analyse() {
  const int count = Nodes();
  // Per node, what the sequence from there on can start with, whether it can match empty and
  // whether its length is fixed.
  std::vector<std::bitset<256>> first(count);
  std::vector<bool> empty(count), fixed(count);
  for (int i = count - 1; i >= 0; --i) {
    const TNode& node = nodes_[i];
    std::bitset<256> own;
    bool ownEmpty = true;
    bool ownFixed = node.Repeat == TRepeat::Once;
    switch (node.Kind) {
    case TKind::Set:
      own = sets_[node.Set];
      ownEmpty = node.Repeat == TRepeat::Star;
      break;
    case TKind::LineStart:
    case TKind::LineEnd:
      break;
    case TKind::Group:
      if (node.Body >= 0) {
        own = first[node.Body];
        ownEmpty = node.Repeat == TRepeat::Star || empty[node.Body];
        ownFixed = ownFixed && fixed[node.Body];
      }
      break;
    }
    if (ownEmpty && node.Next >= 0) {
      own |= first[node.Next];
      ownEmpty = empty[node.Next];
    }
    first[i] = own;
    empty[i] = ownEmpty;
    fixed[i] = ownFixed && (node.Next < 0 || fixed[node.Next]);
  }
  for (TNode& node : nodes_)
    if (node.Repeat != TRepeat::Once || (node.Kind == TKind::Group && node.Body >= 0 &&
                                         !fixed[static_cast<std::size_t>(node.Body)]))
      node.Table = tables_++;

  mayBeEmpty_ = count == 0 || empty[0];
  if (count > 0) {
    firstBytes_ = first[0];
    lineStartOnly_ = nodes_[0].Kind == TKind::LineStart;
  }
  if (firstBytes_.count() == 1)
    for (int c = 0; c < 256; ++c)
      if (firstBytes_.test(c)) firstOnly_ = c;
  FindRequired();
}

namespace {

// How often a byte turns up in source text, roughly: blanks most, then lower-case letters and
// digits, then capitals, the rest seldom.
int Commonness(const std::bitset<256>& set) {
  int sum = 0;
  for (int c = 0; c < 256; ++c)
    if (set.test(c))
      sum += c == ' '                                           ? 8
             : (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? 4
             : c >= 'A' && c <= 'Z'                             ? 2
                                                                : 1;
  return sum;
}

} // namespace

// A set that every match passes through: a character or set met once or more (not `*`) on the
// way through the mask, inside groups that must match too. The one of at most three bytes
// least often met is kept, unless it is the first bytes again, which say that much already.
void TSearchMask::FindRequired() {
  const std::bitset<256>* best = nullptr;
  int bestCommonness = 0;
  std::vector<int> sequences;
  if (!nodes_.empty()) sequences.push_back(0);
  while (!sequences.empty()) {
    int i = sequences.back();
    sequences.pop_back();
    for (; i >= 0; i = nodes_[i].Next) {
      const TNode& node = nodes_[i];
      if (node.Repeat == TRepeat::Star) continue;
      if (node.Kind == TKind::Group && node.Body >= 0) sequences.push_back(node.Body);
      if (node.Kind != TKind::Set) continue;
      const std::bitset<256>& set = sets_[node.Set];
      if (set.count() > required_.size() || set == firstBytes_) continue;
      if (const int commonness = Commonness(set); !best || commonness < bestCommonness) {
        best = &set;
        bestCommonness = commonness;
      }
    }
  }
  if (!best) return;
  for (int c = 0; c < 256; ++c)
    if (best->test(c)) required_[requiredCount_++] = static_cast<unsigned char>(c);
}

int TSearchMask::MatchAt(std::string_view line, int pos) const {
  return TLineRun(*this, line).MatchAt(pos);
}

} // namespace marlo
