#include "ui/editor/memo_painter.h"

#include "core/text/char_case.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/qt_text.h"

#include <QPainter>

#include <algorithm>
#include <climits>

namespace marlo {

int TMemoPainter::PaintText(QPainter& p, const QRect& clip) {
  const TMemoGeometry& g = memo_.geometry_;
  QRect area(g.TextLeft, 0, std::max(0, g.Width - g.TextLeft), g.Height);
  QRect r = clip & area;
  if (r.isEmpty()) return 0;
  int from = 0, to = 0;
  g.ColumnsIn(r.left(), r.right() + 1, from, to);
  int first = g.LineAt(r.top()), last = g.LineAt(r.bottom());
  p.save();
  p.setClipRect(r, Qt::IntersectClip);
  for (int line = first; line <= last; ++line) PaintLine(p, line, from, to);
  p.restore();
  return last - first + 1;
}

void TMemoPainter::PaintLine(QPainter& p, int line, int fromColumn, int toColumn) {
  TCustomCodeMemo& m = memo_;
  TCustomMemoSource& s = *m.source_;
  const TMemoGeometry& g = m.geometry_;
  const int top = g.LineTop(line);
  const bool band = m.HasFocusBand() && line == s.CaretY();

  TColumnSpan selected, found;
  int len = 0;
  rowLine_ = -1;
  runs_.clear();
  if (line < s.LineCount()) {
    const bool coloring = m.Has(moColorSyntax) && s.SyntaxParser() != nullptr;
    std::string_view colors = coloring ? s.LineColors(line) : std::string_view();
    ExpandStyledLine(s, line, colors, text_, styles_);
    len = static_cast<int>(text_.size());
    m.widestLine_ = std::max(m.widestLine_, len);
    s.SelectedSpan(line, selected.From, selected.To);
    s.FoundSpan(line, found.From, found.To);
    m.runs_.Split(styles_, fromColumn, std::min(toColumn, len), selected, found, runs_);
  } else if (s.SelectionKind() == TSelectionType::Column) {
    // A column block may reach below the text.
    s.SelectedSpan(line, selected.From, selected.To);
  }
  for (const TPaintRun& run : runs_) PaintRun(p, run, top, band);
  if (toColumn > len) PaintRest(p, std::max(fromColumn, len), toColumn, top, selected, band);
}

void TMemoPainter::PaintRun(QPainter& p, const TPaintRun& run, int top, bool band) {
  TCustomCodeMemo& m = memo_;
  const TMemoGeometry& g = m.geometry_;
  const TRunLook& look = m.runs_.Look(run.Style);
  TColor fore = look.Text, back = look.Back;
  if (run.State == rsSelected) {
    fore = m.colors_.SelColor;
    back = m.colors_.SelBackColor;
  } else if (run.State == rsFound) {
    fore = m.colors_.MatchColor;
    back = m.colors_.MatchBackColor;
  } else if (back == m.colors_.Color && m.source_->ReadOnly() && m.Has(moUseReadOnlyColor)) {
    back = m.readOnlyColor_;
  }
  const int x0 = g.ColumnX(run.From);
  const QRect rect(x0, top, g.ColumnX(run.To) - x0, g.LineHeight);
  if (band && run.State == rsPlain && back == m.colors_.Color)
    FillBand(p, rect);
  else if (!printing_ || back != clWhite) // a printed page is white already
    p.fillRect(rect, ToQColor(back));

  std::string_view bytes(text_.data() + run.From, static_cast<size_t>(run.To - run.From));
  if (look.Upper) {
    upper_ = UpperCaseText(std::string(bytes));
    bytes = upper_;
  }
  p.setFont(printing_ ? m.fonts_.PrintColumnFont(look.Font, g.CharWidth)
                      : m.fonts_.ColumnFont(look.Font, g.CharWidth));
  p.setPen(ToQColor(fore));
  const int baseline = top + m.fonts_.Ascent(look.Font);
  const QString shown = BytesToQString(bytes, *m.codePage_);
  if (m.fonts_.FixedPitch(look.Font)) {
    p.drawText(QPoint(x0, baseline), shown);
  } else {
    // Characters of a proportional font still stand on their columns.
    for (qsizetype i = 0; i < shown.size(); ++i)
      p.drawText(QPoint(x0 + static_cast<int>(i) * g.CharWidth, baseline), QString(shown[i]));
  }
}

void TMemoPainter::PaintRest(QPainter& p, int from, int to, int top, TColumnSpan selected,
                             bool band) {
  TCustomCodeMemo& m = memo_;
  const TMemoGeometry& g = m.geometry_;
  auto x = [&](int column) {
    // The selection of a line that goes on to the next reaches the right edge.
    return column >= to ? g.Width : g.ColumnX(column);
  };
  int selFrom = std::clamp(selected.From, from, to), selTo = std::clamp(selected.To, from, to);
  if (selFrom >= selTo) selFrom = selTo = to;
  auto plain = [&](int a, int b) {
    if (a >= b) return;
    QRect r(x(a), top, x(b) - x(a), g.LineHeight);
    if (band)
      FillBand(p, r);
    else
      p.fillRect(r, ToQColor(m.colors_.Color));
  };
  plain(from, selFrom);
  if (selFrom < selTo)
    p.fillRect(QRect(x(selFrom), top, x(selTo) - x(selFrom), g.LineHeight),
               ToQColor(m.colors_.SelBackColor));
  plain(selTo, to);
}

void TMemoPainter::FillBand(QPainter& p, const QRect& r) {
  const TLineHighlight& h = memo_.highlight_;
  p.fillRect(r, ToQColor(h.ClearBrush ? memo_.colors_.Color : h.Brush));
  const int w = std::max(1, h.PenWidth);
  const QColor pen = ToQColor(h.Pen);
  p.fillRect(QRect(r.left(), r.top(), r.width(), w), pen);
  p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), pen);
}

void TMemoPainter::PaintRow(QPainter& p, int line, int fromColumn, int toColumn, QPoint at) {
  TCustomCodeMemo& m = memo_;
  TCustomMemoSource& s = *m.source_;
  const TMemoGeometry& g = m.geometry_;
  if (line < 0 || line >= s.LineCount()) return;
  // The rows of one wrapped line share its expanded text: a long line is expanded once.
  if (line != rowLine_) {
    const bool coloring = m.Has(moColorSyntax) && s.SyntaxParser() != nullptr;
    std::string_view colors = coloring ? s.LineColors(line) : std::string_view();
    ExpandStyledLine(s, line, colors, text_, styles_);
    rowLine_ = line;
  }
  const int to = std::min(toColumn, static_cast<int>(text_.size()));
  runs_.clear();
  if (fromColumn < to) m.runs_.Split(styles_, fromColumn, to, {}, {}, runs_);
  // Moved and moved back rather than saved and restored: a print engine told the whole
  // state again for every row would write it again.
  const QPointF shift(at.x() - g.ColumnX(fromColumn), at.y() - g.LineTop(line));
  p.translate(shift);
  printing_ = true;
  for (const TPaintRun& run : runs_) PaintRun(p, run, g.LineTop(line), false);
  printing_ = false;
  p.translate(-shift);
}

void TMemoPainter::PaintPlainText(QPainter& p, const QString& text, QPoint at, TColor color,
                                  bool alignRight) {
  TCustomCodeMemo& m = memo_;
  p.setFont(m.fonts_.PrintColumnFont(m.controlFont_, m.geometry_.CharWidth));
  p.setPen(ToQColor(color));
  int x = at.x();
  if (alignRight) x -= p.fontMetrics().horizontalAdvance(text);
  p.drawText(QPoint(x, at.y() + m.fonts_.Ascent(m.controlFont_)), text);
}

void TMemoPainter::PaintCaret(QPainter& p) {
  QRect r = memo_.CaretRect();
  if (r.isEmpty()) return;
  p.save();
  p.setClipRect(QRect(memo_.geometry_.TextLeft, 0, memo_.geometry_.Width, memo_.geometry_.Height),
                Qt::IntersectClip);
  // The system caret inverts what is under it.
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p.fillRect(r, Qt::white);
  p.restore();
}

} // namespace marlo
