// Matching one line. A mask's meaning, position by position:
//
//   F(node, p)  the end of the match of the sequence from node on, starting at p, or a failure;
//               past a sequence's last node, F is p itself.
//   a group     matches its body's own first match B(p) = F(body, p), then F(next, B(p)).
//   a run       X* at p: the passes p, x(p), x(x(p)), ... (x: one X, a pass that consumes
//               nothing ends them) are tried longest first, so
//                 R(p) = R(x(p)) when x(p) exists, moved on and R(x(p)) matched,
//                        F(next, p) otherwise;
//               X+ at p is R(x(p)).
//
// Each of these has one value per position, so runs, and groups whose body can end in more than
// one place, keep theirs in tables (a group of fixed length is only ever reached once at a
// position, from its one place before it); a run is worked out from the end of its passes back to
// where it started, storing every pass on the way: a later start inside the same run finds its
// value at once. A node is never waiting on itself, so the stack of waiting nodes is at most as
// deep as the mask is long.
#include "core/search/search_mask.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>

namespace marlo {

namespace {

constexpr std::int32_t kUnknown = 0;
// A search's tables may take 128 MB: 320 repetitions on a line of 100,000 characters. Dropping
// results to go on in less would make the work grow without bound instead.
constexpr std::size_t kTableBytes = std::size_t{128} << 20;
constexpr std::size_t kPollEvery = 0x10000;

std::atomic<int> backtracking{TSearchMask::TLineRun::kBacktracking};

} // namespace

using TLineRun = TSearchMask::TLineRun;

void TLineRun::SetBacktracking(int stepsPerNodePosition) {
  backtracking.store(stepsPerNodePosition, std::memory_order_relaxed);
}

TLineRun::TLineRun(const TSearchMask& mask, std::string_view line,
                   const std::function<bool()>* onCancelPoll)
    : mask_(mask), tables_(kTableBytes) {
  Reset(line, onCancelPoll);
}

void TLineRun::Reset(std::string_view line, const std::function<bool()>* onCancelPoll) {
  line_ = line;
  n_ = static_cast<int>(line.size());
  onCancelPoll_ = onCancelPoll;
  steps_ = 0;
  nextPoll_ = kPollEvery;
  const int perNodePosition = backtracking.load(std::memory_order_relaxed);
  backtrackLimit_ = perNodePosition < 0
                        ? std::numeric_limits<std::size_t>::max()
                        : static_cast<std::size_t>(perNodePosition) * mask_.nodes_.size() *
                              static_cast<std::size_t>(n_ + 1);
  // Tables are set up for a line only when it comes to them; the last line's memory shrinks now.
  if (tablesInUse_) tables_.Reset(0, 0);
  tablesInUse_ = false;
  lastStart_ = mask_.requiredCount_ > 0 ? 0 : n_ + 1;
  if (mask_.requiredCount_ > 0 && !line_.empty())
    for (int i = 0; i < mask_.requiredCount_; ++i)
      if (const void* last = memrchr(line_.data(), mask_.required_[i], line_.size()))
        lastStart_ = std::max(lastStart_,
                              static_cast<int>(static_cast<const char*>(last) - line_.data()) + 1);
}

void TLineRun::UseTables() {
  if (!tablesInUse_) tables_.Reset(mask_.tables_, n_ + 1);
  tablesInUse_ = true;
}

void TLineRun::Poll() {
  nextPoll_ = steps_ + kPollEvery;
  if (onCancelPoll_ && *onCancelPoll_ && (*onCancelPoll_)()) throw TSearchCancelled();
}

bool TLineRun::Accepts(int setIndex, int pos) const {
  return pos <= n_ && mask_.sets_[setIndex].test(
                          static_cast<unsigned char>(line_[static_cast<std::size_t>(pos) - 1]));
}

int TLineRun::Lookup(int table, int pos) const {
  return table < 0 ? kUnknown : tables_.Get(table, pos);
}

void TLineRun::Store(int table, int pos, int value) {
  if (table >= 0 && !tables_.Set(table, pos, value)) throw ESearchTooComplex(mask_.pattern_, n_);
}

int TLineRun::MatchAt(int pos) {
  if (pos < 1 || pos > n_ + 1) return -1;
  Tick();
  if (pos > lastStart_ || (mask_.lineStartOnly_ && pos != 1)) return -1;
  if (!mask_.mayBeEmpty_ &&
      (pos > n_ || !mask_.firstBytes_[static_cast<unsigned char>(line_[pos - 1])]))
    return -1;
  if (mask_.nodes_.empty()) return 0;
  int end = tablesInUse_ ? kGaveUp : Backtrack(pos);
  if (end == kGaveUp) {
    UseTables();
    end = Eval(0, pos);
  }
  return end < 0 ? -1 : end - pos;
}

int TLineRun::NextStart(int pos) const {
  pos = std::max(pos, 1);
  if (pos > lastStart_) return n_ + 2;
  if (mask_.lineStartOnly_) return pos == 1 ? 1 : n_ + 2;
  if (mask_.mayBeEmpty_) return pos;
  const int last = std::min(lastStart_, n_);
  if (pos > last) return n_ + 2;
  if (mask_.firstOnly_ >= 0) {
    const void* hit = std::memchr(line_.data() + pos - 1, mask_.firstOnly_,
                                  static_cast<std::size_t>(last - pos + 1));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - line_.data()) + 1 : n_ + 2;
  }
  while (pos <= last && !mask_.firstBytes_[static_cast<unsigned char>(line_[pos - 1])]) ++pos;
  return pos <= last ? pos : n_ + 2;
}

int TLineRun::PrevStart(int pos) const {
  pos = std::min(pos, lastStart_);
  if (pos < 1) return 0;
  if (mask_.lineStartOnly_) return 1;
  if (mask_.mayBeEmpty_) return pos;
  pos = std::min(pos, n_);
  while (pos >= 1 && !mask_.firstBytes_[static_cast<unsigned char>(line_[pos - 1])]) --pos;
  return pos;
}

int TLineRun::Eval(int node, int pos) {
  stack_.clear();
  runs_.clear();
  int result = kFail;
  if (Enter(node, pos, result)) return result;
  while (!stack_.empty())
    if (Resume(stack_.size() - 1, result)) stack_.pop_back();
  return result;
}

// Works out F(node, pos) as far as it can without waiting: single characters and anchors
// follow one another here; a group or run either has its value stored or gets a frame.
// Returns false when it pushed a frame, whose result arrives later.
bool TLineRun::Enter(int node, int pos, int& result) {
  for (;;) {
    if (node < 0) {
      result = pos;
      return true;
    }
    Tick();
    const TNode& nd = mask_.nodes_[node];
    TStage stage = TStage::GroupStart;
    switch (nd.Kind) {
    case TKind::LineStart:
    case TKind::LineEnd:
      if (pos != (nd.Kind == TKind::LineStart ? 1 : n_ + 1)) {
        result = kFail;
        return true;
      }
      node = nd.Next;
      continue;
    case TKind::Set:
      if (nd.Repeat != TRepeat::Star) {
        if (!Accepts(nd.Set, pos)) {
          result = kFail;
          return true;
        }
        ++pos;
        if (nd.Repeat == TRepeat::Once) {
          node = nd.Next;
          continue;
        }
      }
      stage = TStage::SetRunStart;
      break;
    case TKind::Group:
      if (nd.Repeat == TRepeat::Plus) {
        stack_.push_back({.Node = node, .Pos = pos, .Stage = TStage::GroupPlusStart});
        return false;
      }
      stage = nd.Repeat == TRepeat::Star ? TStage::GroupRunStart : TStage::GroupStart;
      break;
    }
    if (const int value = Lookup(nd.Table, pos); value != kUnknown) {
      result = value;
      return true;
    }
    stack_.push_back({.Node = node, .Pos = pos, .Stage = stage});
    return false;
  }
}

// Enters (node, pos) for the frame f, which waits at stage when that cannot finish at once.
bool TLineRun::Call(std::size_t frame, TFrame& f, int node, int pos, TStage stage, int& result) {
  f.Stage = stage;
  stack_[frame] = f;
  return Enter(node, pos, result);
}

// Carries the frame on with the result it waited for; true when it is done (value in result).
bool TLineRun::Resume(std::size_t frame, int& result) {
  TFrame f = stack_[frame];
  const TNode& node = mask_.nodes_[f.Node];
  switch (f.Stage) {
  case TStage::GroupStart:
    if (!Call(frame, f, node.Body, f.Pos, TStage::GroupBody, result)) return false;
    [[fallthrough]];
  case TStage::GroupBody:
    if (result != kFail && !Call(frame, f, node.Next, result, TStage::GroupNext, result))
      return false;
    [[fallthrough]];
  case TStage::GroupNext:
    Store(node.Table, f.Pos, result);
    return true;
  case TStage::GroupPlusStart:
    if (!Call(frame, f, node.Body, f.Pos, TStage::GroupPlusBody, result)) return false;
    [[fallthrough]];
  case TStage::GroupPlusBody:
    if (result == kFail) return true;
    if (const int value = Lookup(node.Table, result); value != kUnknown) {
      result = value;
      return true;
    }
    f.Pos = result;
    f.Stage = TStage::GroupRunStart;
    return ResumeGroupRun(frame, f, node, result);
  case TStage::SetRunStart:
  case TStage::SetRunNext:
    return ResumeSetRun(frame, f, node, result);
  case TStage::GroupRunStart:
  case TStage::GroupRunBody:
  case TStage::GroupRunNext:
  case TStage::GroupRunUnwind:
    return ResumeGroupRun(frame, f, node, result);
  }
  return true;
}

// A run of one set: its passes are the positions from f.Pos up to where the set stops
// matching (or to a position already worked out), f.Cur counting back down.
bool TLineRun::ResumeSetRun(std::size_t frame, TFrame& f, const TNode& node, int& result) {
  auto take = [&] {
    Store(node.Table, f.Cur, result);
    f.Value = result;
    --f.Cur;
  };
  if (f.Stage == TStage::SetRunStart) {
    int q = f.Pos;
    bool known = false;
    while (!known && Accepts(node.Set, q)) {
      Tick();
      ++q;
      if (const int value = Lookup(node.Table, q); value != kUnknown) {
        f.Value = value;
        f.Cur = q - 1;
        known = true;
      }
    }
    if (!known) {
      f.Cur = q;
      if (!Call(frame, f, node.Next, q, TStage::SetRunNext, result)) return false;
      take();
    }
  } else {
    take();
  }
  while (f.Cur >= f.Pos) {
    Tick();
    if (f.Value != kFail) {
      Store(node.Table, f.Cur--, f.Value);
      continue;
    }
    if (!Call(frame, f, node.Next, f.Cur, TStage::SetRunNext, result)) return false;
    take();
  }
  result = f.Value;
  return true;
}

// A run of a group: the pass ends are found one body match at a time and kept on runs_
// until the passes stop (or reach a position already worked out), then worked back.
bool TLineRun::ResumeGroupRun(std::size_t frame, TFrame& f, const TNode& node, int& result) {
  if (f.Stage == TStage::GroupRunStart) {
    f.Run = runs_.size();
    runs_.push_back(f.Pos);
    if (!Call(frame, f, node.Body, f.Pos, TStage::GroupRunBody, result)) return false;
  }
  while (f.Stage == TStage::GroupRunBody) {
    Tick();
    const int cur = runs_.back();
    if (result == kFail || result == cur) {
      if (!Call(frame, f, node.Next, cur, TStage::GroupRunNext, result)) return false;
      break;
    }
    if (const int value = Lookup(node.Table, result); value != kUnknown) {
      f.Value = value;
      f.Stage = TStage::GroupRunUnwind;
      break;
    }
    runs_.push_back(result);
    if (!Call(frame, f, node.Body, result, TStage::GroupRunBody, result)) return false;
  }
  if (f.Stage == TStage::GroupRunNext) {
    Store(node.Table, runs_.back(), result);
    f.Value = result;
    runs_.pop_back();
  }
  while (runs_.size() > f.Run) {
    Tick();
    const int cur = runs_.back();
    if (f.Value == kFail) {
      if (!Call(frame, f, node.Next, cur, TStage::GroupRunNext, result)) return false;
      f.Value = result;
    }
    Store(node.Table, cur, f.Value);
    runs_.pop_back();
  }
  result = f.Value;
  return true;
}

} // namespace marlo
