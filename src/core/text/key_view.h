#pragma once
// What the key commands need of the view that shows a text model: its page, its
// scrolling, and the dialogs that belong to the UI. The hooks do nothing unless a view
// supplies them.
#include "core/text/code_template.h"

#include <vector>

namespace marlo {

class TKeyView {
public:
  virtual ~TKeyView() = default;

  // Number of whole lines the view shows.
  virtual int PageLines() const = 0;
  virtual int FirstVisibleLine() const = 0;
  // Scrolls by `delta` lines (negative: towards the start); the caret stays put.
  virtual void ScrollLines(int delta) = 0;

  virtual void Find() {}
  virtual void Replace() {}
  virtual void FindAgain() {}
  virtual void GotoLine() {}
  // Esc: ends a mouse selection or drag in progress.
  virtual void EndMouseAction() {}
  // Lets the user pick one of `candidates`; returns its position in the list, or -1.
  virtual int ChooseCodeTemplate(const std::vector<const TMemoCodeTemplate*>& candidates) {
    (void)candidates;
    return -1;
  }
};

} // namespace marlo
