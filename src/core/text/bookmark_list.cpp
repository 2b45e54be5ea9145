#include "core/text/bookmark_list.h"

#include <algorithm>
#include <tuple>

namespace marlo {

namespace {
bool Less(const TBookmark& a, const TBookmark& b) {
  return std::tie(a.Y, a.X, a.Number) < std::tie(b.Y, b.X, b.Number);
}
} // namespace

void TMemoBookMarkList::Add(const TBookmark& b) {
  items_.insert(std::upper_bound(items_.begin(), items_.end(), b, Less), b);
}

int TMemoBookMarkList::RemoveNumber(int number) {
  for (size_t i = items_.size(); i-- > 0;) {
    if (items_[i].Number == number) {
      int line = items_[i].Y;
      items_.erase(items_.begin() + static_cast<long>(i));
      return line;
    }
  }
  return -1;
}

const TBookmark* TMemoBookMarkList::FindNumber(int number) const {
  for (const TBookmark& b : items_)
    if (b.Number == number) return &b;
  return nullptr;
}

int TMemoBookMarkList::FirstOnOrAfter(int line) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), line,
                             [](const TBookmark& b, int y) { return b.Y < y; });
  return static_cast<int>(it - items_.begin());
}

void TMemoBookMarkList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), Less);
}

} // namespace marlo
