#pragma once
// The pass lines of a step that gives one line for each line it reads (defines, globals):
// the lines read, with lines of blanks read as empty and the few lines the collecting step
// replaced read from its own list, so that a big source is not copied line by line.
#include "core/preproc/line_span.h"
#include "core/preproc/preproc_text.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlo::preproc {

class TPassLines {
public:
  // `work` must stay alive and unchanged while the lines are read.
  void Start(TLineSpan work) {
    work_ = work;
    at_.clear();
    generated_.clear();
  }
  // Line i becomes `text`; lines are replaced in increasing order.
  void Replace(size_t i, std::string text) {
    at_.push_back(i);
    generated_.push_back(std::move(text));
  }
  size_t Count() const { return work_.Count(); }
  // The number of characters of all lines, at most.
  size_t Bytes() const {
    size_t bytes = 0;
    for (size_t i = 0; i < work_.Count(); ++i) bytes += work_[i].size();
    for (const std::string& line : generated_) bytes += line.size();
    return bytes;
  }

  // Reads the lines in order.
  class TReader {
  public:
    // Reads from line `first` on.
    TReader(const TPassLines& lines, size_t first)
        : lines_(lines),
          next_(static_cast<size_t>(std::lower_bound(lines.at_.begin(), lines.at_.end(), first) -
                                    lines.at_.begin())) {}
    std::string_view Line(size_t i) {
      if (next_ < lines_.at_.size() && lines_.at_[next_] == i) return lines_.generated_[next_++];
      const std::string_view line = lines_.work_[i];
      return TrimLeft(line).empty() ? std::string_view() : line;
    }

  private:
    const TPassLines& lines_;
    size_t next_ = 0;
  };

private:
  TLineSpan work_;
  std::vector<size_t> at_;
  std::deque<std::string> generated_;
};

} // namespace marlo::preproc
