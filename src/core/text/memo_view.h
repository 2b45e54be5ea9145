#pragma once
#include "core/text/text_types.h"

namespace marlo {

class TCustomMemoSource;

// What one outermost change did: its flags and the range of lines whose text changed
// (FirstLine > LastLine when none did).
struct TChangeInfo {
  TChangeFlags Flags;
  int FirstLine = 0;
  int LastLine = -1;
};

// A view of a text model (an editor control); told once at the end of every outermost
// change that did something.
class TMemoView {
public:
  virtual ~TMemoView() = default;
  virtual void SourceChanged(TCustomMemoSource& source, const TChangeInfo& change) = 0;
};

} // namespace marlo
