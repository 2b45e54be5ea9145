#include "core/text/simple_key_view.h"

#include "core/text/memo_source.h"

#include <algorithm>

namespace marlo {

TSimpleKeyView::TSimpleKeyView(TCustomMemoSource& source, int pageLines)
    : source_(source), pageLines_(std::max(1, pageLines)) {
  source_.AddView(this, false);
}

TSimpleKeyView::~TSimpleKeyView() {
  source_.RemoveView(this);
}

int TSimpleKeyView::MaxFirstLine() const {
  return std::max(0, source_.LineCount() - pageLines_);
}

void TSimpleKeyView::ScrollLines(int delta) {
  // Scrolling down stops once the last line is at the bottom of the page; a view that the
  // caret pushed further (below the text) is not pulled back by it.
  firstLine_ = std::clamp(firstLine_ + delta, 0, std::max(MaxFirstLine(), firstLine_));
}

void TSimpleKeyView::SetFirstVisibleLine(int line) {
  firstLine_ = std::clamp(line, 0, MaxFirstLine());
}

void TSimpleKeyView::ScrollToCaret() {
  int y = source_.CaretY();
  if (y < firstLine_)
    firstLine_ = y;
  else if (y >= firstLine_ + pageLines_)
    firstLine_ = y - pageLines_ + 1;
}

void TSimpleKeyView::SourceChanged(TCustomMemoSource&, const TChangeInfo& change) {
  if (change.Flags.Has(chCaret) || change.Flags.Has(chLineCount)) ScrollToCaret();
}

} // namespace marlo
