#pragma once
// The colour table of an RTF document: distinct colours in order of first use from 0.
#include "core/syntax/text_styles.h"

#include <string>
#include <vector>

namespace marlo {

class TWriterColorObject {
public:
  // The index of `color`, added when it is new.
  int IndexOf(TColor color);
  int Count() const { return static_cast<int>(colors_.size()); }
  TColor operator[](int index) const { return colors_.at(static_cast<size_t>(index)); }
  // "{\colortbl" with one line per colour, or nothing when the list is empty.
  void AppendTable(std::string& out) const;

private:
  std::vector<TColor> colors_;
};

} // namespace marlo
