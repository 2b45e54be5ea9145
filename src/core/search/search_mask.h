#pragma once
// The editor's own search pattern language (a "mask"): `.`, sets `[...]`, `[^...]`, the
// anchors `^` and `$`, groups `{...}`, repetitions `*` and `+`, and `\` to take a character
// literally. A mask is compiled once and then matched against one line at a time through a
// TLineRun: plain backtracking first, which is all an ordinary line needs, then, once that has
// taken as many steps as the mask has nodes times the line has positions, results kept per
// position, so that trying every position costs about Nodes() x (length + 1) steps whatever
// the pattern.
#include "core/error.h"
#include "core/search/position_tables.h"

#include <array>
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
  void FindRequired();

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
  // The bytes of a set every match passes through (at most three, and not firstBytes_ again):
  // no match starts after a line's last one of them.
  std::array<unsigned char, 3> required_{};
  int requiredCount_ = 0;
};

// The matching of one line with one mask. A start is first tried by plain backtracking, which
// keeps nothing; once that has taken its steps for the line (kBacktracking per node and
// position), that start, and every later one, goes to tables: each repetition, and each group
// whose body can end in more than one place, keeps its results per line position, page by page
// as it needs them, so that start positions tried in any order share their work. Both walk an
// explicit stack whose depth is bounded by the mask, never by the line. MatchAt raises
// ESearchTooComplex when the results would outgrow their budget.
class TSearchMask::TLineRun {
public:
  // Backtracking steps a line may take before its runs keep results, per node and position.
  static constexpr int kBacktracking = 1;
  static constexpr int kUnlimitedBacktracking = -1;
  // Tests set 0 (tables from the first start) or kUnlimitedBacktracking (never tables) to hold
  // each way of matching on its own against a reference; not while another thread searches.
  static void SetBacktracking(int stepsPerNodePosition);

  // onCancelPoll, when given and set, is called about every 65,536 steps; when it returns
  // true, the matching throws TSearchCancelled. mask, line and onCancelPoll must outlive the
  // run's use of them.
  TLineRun(const TSearchMask& mask, std::string_view line,
           const std::function<bool()>* onCancelPoll = nullptr);
  // Goes on to another line, keeping (some of) the memory of the last one.
  void Reset(std::string_view line, const std::function<bool()>* onCancelPoll = nullptr);

  // The length of the match starting at pos (1..length + 1), or -1.
  int MatchAt(int pos);
  // The first position at or after pos (the last at or before it) where the first-character
  // set allows a match to start; length + 2 (0) when there is none.
  int NextStart(int pos) const;
  int PrevStart(int pos) const;
  // The work done so far: start positions tried, nodes visited, run positions walked.
  std::size_t Steps() const { return steps_; }

private:
  static constexpr int kFail = -1;   // F has no value at that node and position
  static constexpr int kGaveUp = -2; // backtracking ran out of steps

  // A run or group waiting in plain backtracking: for the end of a group's body (Body), for the
  // next pass of a group's repetition (Passes), or for the rest of the sequence after one of
  // the passes of a repetition, tried from the last back (SetTails: Cur down to Pos; Tails: the
  // pass ends on runs_ from Run on).
  enum class TTryStage : std::uint8_t { Body, SetTails, Passes, Tails };
  struct TTry {
    int Node;
    int Pos;
    int Cur;
    std::uint32_t Run;
    TTryStage Stage;
  };

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

  int Backtrack(int pos);
  bool BacktrackEnter(int& node, int& pos, int& result);
  bool BacktrackReturn(int& node, int& pos, int& result);
  void UseTables();
  int Eval(int node, int pos);
  bool Enter(int node, int pos, int& result);
  bool Resume(std::size_t frame, int& result);
  bool ResumeSetRun(std::size_t frame, TFrame& f, const TNode& node, int& result);
  bool ResumeGroupRun(std::size_t frame, TFrame& f, const TNode& node, int& result);
  bool Call(std::size_t frame, TFrame& f, int node, int pos, TStage stage, int& result);
  bool Accepts(int setIndex, int pos) const;
  int Lookup(int table, int pos) const;
  void Store(int table, int pos, int value);
  void Tick() {
    if (++steps_ >= nextPoll_) Poll();
  }
  void Poll();

  const TSearchMask& mask_;
  std::string_view line_;
  int n_ = 0;
  int lastStart_ = 0; // no match starts after this position
  const std::function<bool()>* onCancelPoll_ = nullptr;
  std::size_t steps_ = 0;
  std::size_t nextPoll_ = 0;
  std::size_t backtrackLimit_ = 0; // the steps after which a start goes to the tables
  bool tablesInUse_ = false;
  std::vector<TTry> tries_;
  std::vector<TFrame> stack_;
  std::vector<int> runs_; // pass ends of the group repetitions in progress
  TPositionTables tables_;
};

} // namespace marlo
