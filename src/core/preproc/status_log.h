#pragma once
// The status lines of a preprocessor run, one per message. A run over a big source writes
// millions of them, so they share one buffer instead of a string each.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TStatusLog {
public:
  void Clear() {
    text_.clear();
    ends_.clear();
  }
  size_t Count() const { return ends_.size(); }
  std::string_view Line(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
  }
  // Appends one line made of the pieces, in order.
  template <typename... Pieces> void Add(const Pieces&... pieces) {
    (text_.append(std::string_view(pieces)), ...);
    ends_.push_back(text_.size());
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    lines.reserve(Count());
    for (size_t i = 0; i < Count(); ++i) lines.emplace_back(Line(i));
    return lines;
  }

private:
  std::string text_;
  std::vector<size_t> ends_;
};

} // namespace marlo::preproc
