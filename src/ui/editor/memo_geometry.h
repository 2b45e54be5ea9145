#pragma once
// Where things stand in the editor control: the gutter, the line numbers, the left
// indent and the text, in pixels, for the current metrics and scroll position.
#include <QPoint>
#include <QRect>

namespace marlo {

struct TMemoGeometry {
  int LineHeight = 1; // H: every line is this high
  int CharWidth = 1;  // W: every column is this wide
  int Width = 0;      // of the viewport
  int Height = 0;
  int FirstLine = 0;
  int FirstColumn = 0;
  int Gutter = 0;      // G: 0 without a gutter
  int NumberWidth = 0; // 0 without line numbers
  int NumberLeft = 0;  // x of the number strip
  bool NumbersOnGutter = false;
  int IndentLeft = 0; // x of the left-indent strip
  int Indent = 0;     // its width; 0 without one
  int TextLeft = 0;

  // Lines wholly shown, at least one: the page of the page keys.
  int PageLines() const { return Height / LineHeight > 0 ? Height / LineHeight : 1; }
  // Lines touched by the viewport, the partly shown last one included.
  int VisibleRows() const { return (Height + LineHeight - 1) / LineHeight; }
  int LastVisibleLine() const { return FirstLine + VisibleRows() - 1; }
  int VisibleColumns() const {
    int n = (Width - TextLeft) / CharWidth;
    return n > 0 ? n : 1;
  }
  int LineTop(int line) const { return (line - FirstLine) * LineHeight; }
  QRect LineRect(int line) const { return QRect(0, LineTop(line), Width, LineHeight); }
  int ColumnX(int column) const { return TextLeft + (column - FirstColumn) * CharWidth; }
  // The line under y (before the first or after the last shown one when y is outside).
  int LineAt(int y) const;
  // The column boundary nearest to x, never left of column 0.
  int ColumnAt(int x) const;
  // The first column and one past the last column that x range [left, right) touches.
  void ColumnsIn(int left, int right, int& from, int& to) const;
  // Whether x lies in the gutter or the line numbers, left of the text area.
  bool InGutter(int x) const {
    return x < Gutter ||
           (NumberWidth > 0 && !NumbersOnGutter && x >= NumberLeft && x < NumberLeft + NumberWidth);
  }
};

// The number of decimal digits of n (at least one).
int DigitCount(long long n);

} // namespace marlo
