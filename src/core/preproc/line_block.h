#pragma once
// A list of lines kept in one buffer, so that a pass over a million lines writes its output
// without a memory allocation per line. Each line is followed by a line feed in the buffer,
// so the whole list can be written out as it stands.
#include "core/platform/memory.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TLineBlock {
public:
  TLineBlock() = default;
  explicit TLineBlock(const std::vector<std::string>& lines) { Assign(lines); }

  size_t Count() const { return ends_.size(); }
  bool Empty() const { return ends_.empty(); }
  std::string_view operator[](size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1] + 1;
    return std::string_view(text_).substr(begin, ends_[i] - begin);
  }
  void Clear() {
    text_.clear();
    ends_.clear();
  }
  // Room for `lines` lines of `bytes` characters in all, not counting their line feeds.
  void Reserve(size_t lines, size_t bytes) {
    ends_.reserve(lines);
    text_.reserve(bytes + lines);
    platform::AdviseHugePages(ends_.data(), ends_.capacity() * sizeof(size_t));
    platform::AdviseHugePages(text_.data(), text_.capacity());
  }
  // Every line followed by a line feed: the list as a text file holds it.
  std::string_view Joined() const { return text_; }
  void Add(std::string_view line) {
    text_.append(line);
    EndLine();
  }

  // A line built in place: append to Text(), then EndLine(). Text() holds the lines before
  // it too; the line being built starts at LineStart().
  std::string& Text() { return text_; }
  size_t LineStart() const { return text_.size() - CurrentLength(); }
  void EndLine() {
    ends_.push_back(text_.size());
    text_ += '\n';
  }

  template <typename Lines> void Assign(const Lines& lines) {
    Clear();
    size_t bytes = 0;
    for (const auto& line : lines) bytes += std::string_view(line).size();
    Reserve(lines.size(), bytes);
    for (const auto& line : lines) Add(line);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    lines.reserve(Count());
    for (size_t i = 0; i < Count(); ++i) lines.emplace_back((*this)[i]);
    return lines;
  }
  // Appends the lines of `other`.
  void Append(const TLineBlock& other) {
    const size_t offset = text_.size();
    text_.append(other.text_);
    ends_.reserve(ends_.size() + other.ends_.size());
    for (const size_t end : other.ends_) ends_.push_back(offset + end);
  }
  void Swap(TLineBlock& other) {
    text_.swap(other.text_);
    ends_.swap(other.ends_);
  }

private:
  // The length of the line being built.
  size_t CurrentLength() const {
    return ends_.empty() ? text_.size() : text_.size() - ends_.back() - 1;
  }

  std::string text_;
  std::vector<size_t> ends_; // where each line ends, before its line feed
};

} // namespace marlo::preproc
