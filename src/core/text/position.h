#pragma once
#include <functional>

namespace marlo {

// Which parts of a move a tracked position accepts.
enum TMoveParts : unsigned { mpNone = 0, mpColumn = 1, mpLine = 2, mpBoth = 3 };

// A place in the text that the model moves when text is inserted or deleted before it.
// Only positions with an OnChange callback are moved; the callback says which parts.
class TPosition {
public:
  int X = 0; // column in the tab-expanded line
  int Y = 0; // line
  std::function<TMoveParts(const TPosition&)> OnChange;
};

} // namespace marlo
