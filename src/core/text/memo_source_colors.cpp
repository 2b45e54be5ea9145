// The colouring cache: each line keeps its style string with the states in which it
// starts and ends, so that only lines whose text or start state changed are scanned.
#include "core/text/memo_source.h"

#include <algorithm>

namespace marlo {

int TCustomMemoSource::ColorLines(int first, int last, bool force) {
  last = std::min(last, LineCount() - 1);
  first = std::max(first, 0);
  if (first > last) return recolorFrom_;
  if (!parser_) {
    if (force || highlightUrls_) {
      for (int i = first; i <= last; ++i) {
        if (store_.IsColored(i)) continue;
        if (store_.ExtraIfAny(i)) store_.Extra(i).Colors.clear();
        store_.SetColored(i, true);
      }
    }
    firstUncolored_ = last + 1;
    return recolorFrom_;
  }
  int state = initialState_;
  if (first > 0) {
    const TLineExtra* before = store_.ExtraIfAny(first - 1);
    state = before ? before->EndState : 0;
  }
  for (int i = first; i <= last; ++i) {
    if (store_.IsColored(i)) {
      const TLineExtra* extra = store_.ExtraIfAny(i);
      if (extra && extra->StartState == state) {
        state = extra->EndState;
        continue;
      }
    }
    TLineExtra& extra = store_.Extra(i);
    std::string_view text = store_.Text(i);
    extra.Colors.assign(text.size(), '\0');
    extra.StartState = state;
    parser_->SetLineIndex(i);
    state = parser_->ColorString(text, state, extra.Colors);
    store_.SetColored(i, true);
    if (state != extra.EndState) {
      recolorFrom_ = std::max(recolorFrom_, i + 1);
      extra.EndState = state;
    }
  }
  firstUncolored_ = last + 1;
  return recolorFrom_;
}

int TCustomMemoSource::EnsureLineColored(int line, bool force) {
  // Colouring runs 100 lines ahead of what is shown, short of overflowing.
  int last = (line >= firstUncolored_ && line < 2147483547) ? line + 100 : line;
  return ColorLines(firstUncolored_, last, force);
}

std::string_view TCustomMemoSource::LineColors(int line) {
  if (line < 0 || line >= LineCount()) return {};
  if (!store_.IsColored(line)) EnsureLineColored(line, true);
  if (!store_.IsColored(line)) {
    // A line before FirstUncolored that lost its colours inside a change.
    int keep = firstUncolored_;
    ColorLines(line, line, true);
    firstUncolored_ = keep;
  }
  return store_.Colors(line);
}

void TCustomMemoSource::RecolorEditedLine(int line) {
  if (!parser_ || line < 0 || line >= LineCount() || line >= firstUncolored_) return;
  const TLineExtra* extra = store_.ExtraIfAny(line);
  int endState = extra ? extra->EndState : 0;
  int keep = firstUncolored_;
  ColorLines(line, line, false);
  firstUncolored_ = keep;
  // A moved end state changes how every later line may look.
  const TLineExtra* after = store_.ExtraIfAny(line);
  if (after && after->EndState != endState) MarkLinesDirty(line, LineCount() - 1);
}

} // namespace marlo
