// The found-text range: where the last search matched.
#include "core/text/memo_source.h"

#include <algorithm>
#include <climits>

namespace marlo {

void TCustomMemoSource::SetFoundText(TPoint begin, TPoint end) {
  if (end.Y < begin.Y || (end.Y == begin.Y && end.X < begin.X)) std::swap(begin, end);
  if (foundSet_ && begin == foundBegin_ && end == foundEnd_) return;
  ChangeScope scope(*this, TChangeKind::Other);
  if (foundSet_) MarkLinesDirty(foundBegin_.Y, foundEnd_.Y);
  foundSet_ = true;
  foundBegin_ = begin;
  foundEnd_ = end;
  MarkLinesDirty(begin.Y, end.Y);
  changeFlags_.Include(chFoundText);
}

void TCustomMemoSource::ClearFoundText() {
  if (!foundSet_) return;
  ChangeScope scope(*this, TChangeKind::Other);
  foundSet_ = false;
  MarkLinesDirty(foundBegin_.Y, foundEnd_.Y);
  changeFlags_.Include(chFoundText);
}

bool TCustomMemoSource::FoundSpan(int y, int& from, int& to) const {
  if (!foundSet_ || y < foundBegin_.Y || y > foundEnd_.Y) return false;
  from = y == foundBegin_.Y ? foundBegin_.X : 0;
  to = y == foundEnd_.Y ? foundEnd_.X : INT_MAX;
  return from < to;
}

} // namespace marlo
