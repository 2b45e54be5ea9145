// Matching one start of a line by plain backtracking: F(node, p) as search_mask_run.cpp
// defines it, worked out straight from its definition with nothing kept between starts. An
// ordinary line takes a handful of steps per start this way, far fewer than setting up and
// filling the tables would; a line that makes it take more gives up and goes to the tables.
//
// The waiting runs and groups are on tries_, each node at most once and in node order, so that
// the stack is as deep as the mask at most. A result goes down to the try below it: a group
// then goes on with its next node (its body is never tried again: a group keeps its body's
// first match), a repetition that got a failure goes on with the next pass back.
#include "core/search/search_mask.h"

namespace marlo {

using TLineRun = TSearchMask::TLineRun;

// The end of the match starting at pos, kFail, or kGaveUp when the steps ran out first.
int TLineRun::Backtrack(int pos) {
  tries_.clear();
  runs_.clear();
  int node = 0, result = kFail;
  bool entering = true;
  for (;;) {
    // A round takes at most Nodes() + length + 1 steps: the limit is passed by no more.
    if (steps_ >= backtrackLimit_) return kGaveUp;
    if (entering)
      entering = BacktrackEnter(node, pos, result);
    else if (tries_.empty())
      return result;
    else
      entering = BacktrackReturn(node, pos, result);
  }
}

// Goes through single characters and anchors from node at pos up to the next run or group,
// which it puts on tries_ before going on into it (true), or up to a result (false).
bool TLineRun::BacktrackEnter(int& node, int& pos, int& result) {
  for (;;) {
    if (node < 0) {
      result = pos;
      return false;
    }
    Tick();
    const TNode& nd = mask_.nodes_[static_cast<std::size_t>(node)];
    switch (nd.Kind) {
    case TKind::LineStart:
    case TKind::LineEnd:
      if (pos != (nd.Kind == TKind::LineStart ? 1 : n_ + 1)) {
        result = kFail;
        return false;
      }
      node = nd.Next;
      continue;
    case TKind::Set: {
      const std::bitset<256>& set = mask_.sets_[static_cast<std::size_t>(nd.Set)];
      if (nd.Repeat == TRepeat::Once) {
        if (pos > n_ || !set[static_cast<unsigned char>(line_[pos - 1])]) {
          result = kFail;
          return false;
        }
        ++pos;
        node = nd.Next;
        continue;
      }
      int end = pos;
      while (end <= n_ && set[static_cast<unsigned char>(line_[end - 1])]) {
        Tick();
        ++end;
      }
      const int fewest = nd.Repeat == TRepeat::Plus ? pos + 1 : pos;
      if (end < fewest || nd.Next < 0) {
        result = end < fewest ? kFail : end;
        return false;
      }
      tries_.push_back({node, fewest, end, 0, TTryStage::SetTails});
      node = nd.Next;
      pos = end;
      return true;
    }
    case TKind::Group:
      // An empty body makes one empty pass, which ends a repetition at once.
      if (nd.Body < 0) {
        node = nd.Next;
        continue;
      }
      if (nd.Repeat == TRepeat::Once) {
        tries_.push_back({node, pos, 0, 0, TTryStage::Body});
      } else {
        tries_.push_back(
            {node, pos, 0, static_cast<std::uint32_t>(runs_.size()), TTryStage::Passes});
        runs_.push_back(pos);
      }
      node = nd.Body;
      return true;
    }
  }
}

// Hands result to the try on top: true when that goes on at (node, pos), false when it is done
// and result is its own.
bool TLineRun::BacktrackReturn(int& node, int& pos, int& result) {
  Tick();
  TTry& t = tries_.back();
  const TNode& nd = mask_.nodes_[static_cast<std::size_t>(t.Node)];
  // Where a group repetition's pass ends start on runs_: at its own start, or after it for X+.
  const std::size_t firstEnd = t.Run + (nd.Repeat == TRepeat::Plus ? 1 : 0);
  switch (t.Stage) {
  case TTryStage::Body:
    tries_.pop_back();
    if (result == kFail) return false;
    node = nd.Next;
    pos = result;
    return true;
  case TTryStage::SetTails:
    if (result != kFail || --t.Cur < t.Pos) {
      tries_.pop_back();
      return false;
    }
    node = nd.Next;
    pos = t.Cur;
    return true;
  case TTryStage::Passes:
    if (result != kFail && result != runs_.back()) {
      runs_.push_back(result);
      node = nd.Body;
      pos = result;
      return true;
    }
    // An empty pass ends the passes; as the first one of X+ it is the one pass there is.
    if (result != kFail && runs_.size() == firstEnd) runs_.push_back(result);
    t.Stage = TTryStage::Tails;
    break;
  case TTryStage::Tails:
    if (result != kFail) {
      runs_.resize(t.Run);
      tries_.pop_back();
      return false;
    }
    runs_.pop_back();
    break;
  }
  // The rest of the sequence after the last pass end not tried yet.
  if (runs_.size() <= firstEnd) {
    runs_.resize(t.Run);
    tries_.pop_back();
    result = kFail;
    return false;
  }
  node = nd.Next;
  pos = runs_.back();
  return true;
}

} // namespace marlo
