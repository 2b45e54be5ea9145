#pragma once
// The status lines of a preprocessor run, one per message. A run over a big source writes
// millions of them, so they share large buffers instead of a string each.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TStatusLog {
public:
  // A log that is not kept takes no lines: a caller that never shows them (a build without
  // the dialog, the command line without its status option) need not pay for millions.
  void Keep(bool keep) { kept_ = keep; }
  bool Kept() const { return kept_; }
  void Clear() {
    chunks_.clear();
    lines_.clear();
  }
  size_t Count() const { return lines_.size(); }
  std::string_view Line(size_t i) const { return lines_[i]; }
  // Appends one line made of the pieces, in order.
  template <typename... Pieces> void Add(const Pieces&... pieces) {
    if (!kept_) return;
    const size_t length = (std::string_view(pieces).size() + ... + 0);
    // Lines never move once written: a full chunk is left as it is and a new one begun.
    if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < length) {
      chunks_.emplace_back();
      chunks_.back().reserve(length > kChunk ? length : kChunk);
    }
    std::string& chunk = chunks_.back();
    const size_t start = chunk.size();
    (chunk.append(std::string_view(pieces)), ...);
    lines_.emplace_back(chunk.data() + start, length);
  }
  std::vector<std::string> Lines() const { return {lines_.begin(), lines_.end()}; }

private:
  static constexpr size_t kChunk = size_t{1} << 20;
  std::deque<std::string> chunks_;
  std::vector<std::string_view> lines_;
  bool kept_ = true;
};

} // namespace marlo::preproc
