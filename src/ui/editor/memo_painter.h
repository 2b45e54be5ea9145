#pragma once
// Paints the text lines of the editor control and its caret.
#include "core/syntax/paint_runs.h"

#include <QRect>

#include <string>
#include <vector>

class QPainter;

namespace marlo {

class TCustomCodeMemo;

class TMemoPainter {
public:
  explicit TMemoPainter(TCustomCodeMemo& memo) : memo_(memo) {}

  // Paints the text area of every line that `clip` touches; returns how many lines.
  int PaintText(QPainter& p, const QRect& clip);
  void PaintCaret(QPainter& p);

  // A printed row: columns [fromColumn, toColumn) of `line`, unselected, with column
  // fromColumn's left edge at at.x() and the line's top at at.y(). The text painted must
  // not change between the rows of one print.
  void PaintRow(QPainter& p, int line, int fromColumn, int toColumn, QPoint at);
  // `text` in the control's own font with its top at at.y(): from at.x() on, or ending there
  // when `alignRight`. Numbers and the header of a printed page.
  void PaintPlainText(QPainter& p, const QString& text, QPoint at, TColor color, bool alignRight);

private:
  void PaintLine(QPainter& p, int line, int fromColumn, int toColumn);
  void PaintRun(QPainter& p, const TPaintRun& run, int top, bool band);
  // Columns past the end of a line's text: selected where the selection reaches them.
  void PaintRest(QPainter& p, int from, int to, int top, TColumnSpan selected, bool band);
  void FillBand(QPainter& p, const QRect& r);

  TCustomCodeMemo& memo_;
  bool printing_ = false; // painting a printed row
  int rowLine_ = -1;      // the line text_ holds for printed rows; -1 after a screen line
  std::string text_, styles_, upper_;
  std::vector<TPaintRun> runs_;
};

} // namespace marlo
