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

private:
  void PaintLine(QPainter& p, int line, int fromColumn, int toColumn);
  void PaintRun(QPainter& p, const TPaintRun& run, int top, bool band);
  // Columns past the end of a line's text: selected where the selection reaches them.
  void PaintRest(QPainter& p, int from, int to, int top, TColumnSpan selected, bool band);
  void FillBand(QPainter& p, const QRect& r);

  TCustomCodeMemo& memo_;
  std::string text_, styles_, upper_;
  std::vector<TPaintRun> runs_;
};

} // namespace marlo
