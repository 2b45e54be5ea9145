#pragma once
// Runs a replacing step over a big list in two halves side by side. The steps are line by
// line, except for the remark-block flag that one line leaves to the next: the second half
// starts as if no block were open, which is nearly always so, and is done again in order
// after the first when the first half ends inside a block. The first error in line order
// wins, as in one run from the top.
#include "core/preproc/line_block.h"

#include <cstddef>
#include <exception>
#include <string>
#include <thread>

namespace marlo::preproc {

// What a replacing step carries from one line to the next.
struct TReplaceState {
  bool InRemarkBlock = false;
  std::string Scan; // a scratch copy of the line being replaced
};

class TReplaceHalves {
public:
  // Lists of at least this many lines are split.
  static inline size_t Threshold = size_t(1) << 16;

  // Calls step(from, to, output, state) to append the replaced lines [from, to) to
  // `output`, which is emptied first and reserved for `count` lines of `bytes` characters.
  // `split` allows the two halves; the step must then touch nothing shared but what it
  // reads. An exception of the step comes out of Run.
  template <typename Step>
  static void Run(size_t count, size_t bytes, bool split, TLineBlock& output, const Step& step) {
    output.Clear();
    output.Reserve(count, bytes);
    TReplaceState state;
    if (!split || count < Threshold || count < 2 || std::thread::hardware_concurrency() < 2) {
      step(0, count, output, state);
      return;
    }
    const size_t mid = count / 2;
    TLineBlock second;
    TReplaceState secondState;
    std::exception_ptr secondFailure;
    std::thread worker([&] {
      try {
        second.Reserve(count - mid, bytes / 2 + bytes / 8);
        step(mid, count, second, secondState);
      } catch (...) {
        secondFailure = std::current_exception();
      }
    });
    try {
      step(0, mid, output, state);
    } catch (...) {
      worker.join();
      throw;
    }
    worker.join();
    if (state.InRemarkBlock) {
      // The second half started in the wrong state: it is done again, in order.
      step(mid, count, output, state);
      return;
    }
    if (secondFailure) std::rethrow_exception(secondFailure);
    output.Append(second);
  }
};

} // namespace marlo::preproc
