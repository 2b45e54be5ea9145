#include "ui/editor/memo_geometry.h"

#include <algorithm>

namespace marlo {

int TMemoGeometry::LineAt(int y) const {
  // Rounds towards minus infinity, so that a point above the view is above line 0 of it.
  int row = y >= 0 ? y / LineHeight : -((-y + LineHeight - 1) / LineHeight);
  return FirstLine + row;
}

int TMemoGeometry::ColumnAt(int x) const {
  int dx = x - TextLeft + CharWidth / 2;
  int col = dx >= 0 ? dx / CharWidth : -((-dx + CharWidth - 1) / CharWidth);
  return std::max(0, FirstColumn + col);
}

void TMemoGeometry::ColumnsIn(int left, int right, int& from, int& to) const {
  left = std::max(left, TextLeft);
  if (right <= left) {
    from = to = FirstColumn;
    return;
  }
  from = FirstColumn + (left - TextLeft) / CharWidth;
  to = FirstColumn + (right - TextLeft + CharWidth - 1) / CharWidth;
}

int DigitCount(long long n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

} // namespace marlo
