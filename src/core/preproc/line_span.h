#pragma once
// The lines a pass reads, without owning them: a line block, or an array of views into text
// kept elsewhere (such as the lines of a loaded document), so that a run need not copy its
// source first.
#include "core/preproc/line_block.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace marlo::preproc {

class TLineSpan {
public:
  TLineSpan() = default;
  TLineSpan(const TLineBlock& block) : block_(&block) {}
  TLineSpan(std::span<const std::string_view> views) : views_(views) {}

  size_t Count() const { return block_ ? block_->Count() : views_.size(); }
  std::string_view operator[](size_t i) const { return block_ ? (*block_)[i] : views_[i]; }

private:
  const TLineBlock* block_ = nullptr;
  std::span<const std::string_view> views_;
};

} // namespace marlo::preproc
