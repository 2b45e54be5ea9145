#pragma once
// The editor's own search pattern language (a "mask"): `.`, sets `[...]`, `[^...]`, the
// anchors `^` and `$`, groups `{...}`, repetitions `*` and `+`, and `\` to take a character
// literally. A mask is compiled once and then matched against one line at a time through a
// TLineRun, which shares the work of all start positions of that line, so that trying every
// position costs about Nodes() x (length + 1) steps whatever the pattern.
#include "core/error.h"
#include "core/search/position_tables.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// A pattern that is no mask. Position is 1-based: the misplaced `*` or `+`, the trailing `\`,
// the `[` or `{` left open, the unmatched `}`, the `[` of an empty set, or the `-` of a
// reversed range. The caller may word the message anew from the two fields.
class TSearchMaskError : public Error {
public:
  TSearchMaskError(std::string pattern, int position);
  std::string Pattern;
  int Position;
};

// A search that would take more memory than a search may have (128 MB): only a mask with
// hundreds of repetitions on a line of a hundred thousand characters or more gets there.
class ESearchTooComplex : public Error {
public:
  ESearchTooComplex(std::string pattern, int lineLength);
  std::string Pattern;
  int LineLength;
};

// Thrown out of a search when its cancel poll says so; no Error, since nothing went wrong.
class TSearchCancelled : public std::exception {
public:
  const char* what() const noexcept override;
};

class TSearchMask {
public:
  // Throws TSearchMaskError. Without caseSensitive, characters and set members compare
  // through UpperChar (char_case.h).
  TSearchMask(std::string_view pattern, bool caseSensitive);

  const std::string& Pattern() const { return pattern_; }
  bool CaseSensitive() const { return caseSensitive_; }
  // The characters, sets, anchors and groups of the compiled mask: the unit of the work bound.
  int Nodes() const { return static_cast<int>(nodes_.size()); }

  // The length of the match starting at pos (1..length + 1) of line, or -1. One position
  // alone; a search over many positions goes through a TLineRun.
  int MatchAt(std::string_view line, int pos) const;

  class TLineRun;

private:
  enum class TKind : std::uint8_t { Set, LineStart, LineEnd, Group };
  enum class TRepeat : std::uint8_t { Once, Star, Plus };
  struct TNode {
    TKind Kind = TKind::Set;
    TRepeat Repeat = TRepeat::Once;
    int Next = -1;  // the following node of the same sequence, -1 at its end
    int Body = -1;  // a group's first node, -1 for an empty group
    int Set = -1;   // index into sets_
    int Table = -1; // index of the node's results in a line run, -1 when it keeps none
  };

  class TParser;
  void Analyse();

  std::string pattern_;
  bool caseSensitive_;
  // Nodes in pattern order: a group's body follows the group node, so every node's Next and
  // Body come later than the node itself.
  std::vector<TNode> nodes_;
  std::vector<std::bitset<256>> sets_; // line bytes each set accepts, case already folded in
  int tables_ = 0;
  std::bitset<256> firstBytes_; // the bytes a non-empty match can start with
  bool mayBeEmpty_ = false;     // then a match may start anywhere
  bool lineStartOnly_ = false;  // the mask opens with `^`
  int firstOnly_ = -1;          // the one byte of firstBytes_, when it holds one
};

// The matching of one line with one mask. Each repetition, and each group whose body can end
// in more than one place, keeps its results per line position, page by page as it needs them,
// so that start positions tried in any order share their work. Matching walks an explicit
// stack whose depth is bounded by the mask, never by the line. MatchAt raises
// ESearchTooComplex when the results would outgrow their budget.
class TSearchMask::TLineRun {
public:
  // onCancelPoll is called about every 65,536 steps; when it returns true, the matching
  // throws TSearchCancelled. mask and line must outlive the run.
  TLineRun(const TSearchMask& mask, std::string_view line, std::function<bool()> onCancelPoll = {});
  // Goes on to another line, keeping (some of) the memory of the last one.
  void Reset(std::string_view line, std::function<bool()> onCancelPoll = {});

  // The length of the match starting at pos (1..length + 1), or -1.
  int MatchAt(int pos);
  // The first position at or after pos (the last at or before it) where the first-character
  // set allows a match to start; length + 2 (0) when there is none.
  int NextStart(int pos) const;
  int PrevStart(int pos) const;
  // The work done so far: start positions tried, nodes visited, run positions walked.
  std::size_t Steps() const { return steps_; }

private:
  enum class TStage : std::uint8_t {
    GroupStart,
    GroupBody,
    GroupNext,
    SetRunStart,
    SetRunNext,
    GroupRunStart,
    GroupRunBody,
    GroupRunNext,
    GroupRunUnwind,
    GroupPlusStart,
    GroupPlusBody,
  };
  // One node's work in progress: a group or a repetition at Pos.
  struct TFrame {
    int Node;
    int Pos;
    int Cur = 0;         // a repetition: the run position being worked on
    int Value = 0;       // a repetition: the result of the position after Cur
    std::size_t Run = 0; // a group's repetition: where its pass ends start in runs_
    TStage Stage;
  };

  int Eval(int node, int pos);
  bool Enter(int node, int pos, int& result);
  bool Resume(std::size_t frame, int& result);
  bool ResumeSetRun(std::size_t frame, TFrame& f, const TNode& node, int& result);
  bool ResumeGroupRun(std::size_t frame, TFrame& f, const TNode& node, int& result);
  bool Call(std::size_t frame, TFrame& f, int node, int pos, TStage stage, int& result);
  bool Accepts(int setIndex, int pos) const;
  int Lookup(int table, int pos) const;
  void Store(int table, int pos, int value);
  void Tick();

  const TSearchMask& mask_;
  std::string_view line_;
  int n_ = 0;
  std::function<bool()> onCancelPoll_;
  std::size_t steps_ = 0;
  std::vector<TFrame> stack_;
  std::vector<int> runs_; // pass ends of the group repetitions in progress
  TPositionTables tables_;
};

} // namespace marlo
