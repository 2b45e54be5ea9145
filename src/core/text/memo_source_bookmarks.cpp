// Numbered bookmarks.
#include "core/text/memo_source.h"

namespace marlo {

namespace {
bool ValidNumber(int n) {
  return n > 0 && n <= 255;
}
} // namespace

void TCustomMemoSource::SetBookmark(int n) {
  if (!ValidNumber(n)) return;
  ChangeScope scope(*this, TChangeKind::Bookmark);
  ClearBookmark(n);
  bookmarks_.Add({caret_.X, caret_.Y, n});
  MarkLinesDirty(caret_.Y, caret_.Y);
  changeFlags_.Include(chLineState);
}

void TCustomMemoSource::ClearBookmark(int n) {
  if (!ValidNumber(n)) return;
  ChangeScope scope(*this, TChangeKind::Bookmark);
  int line = bookmarks_.RemoveNumber(n);
  if (line < 0) return;
  MarkLinesDirty(line, line);
  changeFlags_.Include(chLineState);
}

void TCustomMemoSource::ToggleBookmark(int n) {
  if (!ValidNumber(n)) return;
  const TBookmark* b = bookmarks_.FindNumber(n);
  if (b && b->Y == caret_.Y)
    ClearBookmark(n);
  else
    SetBookmark(n);
}

void TCustomMemoSource::GotoBookmark(int n) {
  TPoint p;
  if (!GetBookmark(n, p)) return;
  ChangeScope scope(*this, TChangeKind::CaretMove);
  SetCaret(p.X, p.Y, true);
}

bool TCustomMemoSource::GetBookmark(int n, TPoint& point) const {
  const TBookmark* b = ValidNumber(n) ? bookmarks_.FindNumber(n) : nullptr;
  point = b ? TPoint{b->X, b->Y} : TPoint{-1, -1};
  return b != nullptr;
}

int TCustomMemoSource::BookmarkAtLine(int line) const {
  if (line < 0 || line >= LineCount()) return 0;
  int i = bookmarks_.FirstOnOrAfter(line);
  return (i < bookmarks_.Count() && bookmarks_[i].Y == line) ? bookmarks_[i].Number : 0;
}

int TCustomMemoSource::BookmarkInRange(int line, int fromX, int toX) const {
  for (int i = bookmarks_.FirstOnOrAfter(line); i < bookmarks_.Count() && bookmarks_[i].Y == line;
       ++i)
    if (bookmarks_[i].X >= fromX && bookmarks_[i].X < toX) return bookmarks_[i].Number;
  return 0;
}

void TCustomMemoSource::BookmarksOfLine(int line, int fromX, int toX,
                                        std::vector<TBookmark>& list) const {
  for (int i = bookmarks_.FirstOnOrAfter(line); i < bookmarks_.Count() && bookmarks_[i].Y == line;
       ++i)
    if (bookmarks_[i].X >= fromX && bookmarks_[i].X < toX) list.push_back(bookmarks_[i]);
}

} // namespace marlo
