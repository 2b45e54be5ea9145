#include "ui/editor/memo_gutter.h"

#include "core/text/bookmark_list.h"
#include "ui/editor/custom_code_memo.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace marlo {

void TMemoGutter::Paint(QPainter& p, const QRect& clip) {
  TCustomCodeMemo& m = memo_;
  const TMemoGeometry& g = m.geometry_;
  if (clip.left() >= g.TextLeft) return;
  const QRect rows(0, clip.top(), g.TextLeft, clip.height());
  if (g.Indent > 0)
    p.fillRect(QRect(g.IndentLeft, rows.top(), g.Indent, rows.height()), ToQColor(m.colors_.Color));
  if (g.Gutter > 0) PaintBackground(p, rows);
  int first = g.LineAt(rows.top()), last = g.LineAt(rows.bottom());
  if (g.NumberWidth > 0) PaintNumbers(p, first, last);
  if (g.Gutter > 0) PaintBookmarks(p, first, last);
}

void TMemoGutter::PaintBackground(QPainter& p, const QRect& rows) {
  TCustomCodeMemo& m = memo_;
  const TGutterLook& look = m.gutter_;
  const int width = m.geometry_.Gutter;
  if (background_.width() != width) {
    QPixmap row(width, 1);
    QPainter rp(&row);
    QRect face(0, 0, std::max(0, width - 2), 1);
    if (look.Gradient) {
      QLinearGradient gradient(0, 0, std::max(1, width - 2), 0);
      gradient.setColorAt(0, ToQColor(look.GradientFrom));
      gradient.setColorAt(1, ToQColor(look.GradientTo));
      rp.fillRect(face, gradient);
    } else {
      rp.fillRect(face, ToQColor(look.Brush));
    }
    if (width >= 2) rp.fillRect(QRect(width - 2, 0, 1, 1), ToQColor(look.BackColor));
    if (width >= 1) rp.fillRect(QRect(width - 1, 0, 1, 1), ToQColor(look.LineColor));
    rp.end();
    background_ = row;
  }
  p.drawTiledPixmap(QRect(0, rows.top(), width, rows.height()), background_);
}

void TMemoGutter::PaintNumbers(QPainter& p, int first, int last) {
  TCustomCodeMemo& m = memo_;
  const TMemoGeometry& g = m.geometry_;
  const TGutterLook& look = m.gutter_;
  if (!g.NumbersOnGutter) {
    p.fillRect(
        QRect(g.NumberLeft, g.LineTop(first), g.NumberWidth, (last - first + 1) * g.LineHeight),
        ToQColor(look.LineNumBackColor));
  }
  const int digits = g.NumberWidth / g.CharWidth - 1;
  int x = g.NumberLeft;
  if (g.NumbersOnGutter)
    x = look.LineNumAlign == laLeft ? look.LineIndent : g.Gutter - g.NumberWidth - look.LineIndent;
  p.setFont(m.fonts_.ColumnFont(m.controlFont_, g.CharWidth));
  p.setPen(ToQColor(look.LineNumColor));
  const int ascent = m.fonts_.Ascent(m.controlFont_);
  last = std::min(last, m.source_->LineCount() - 1);
  for (int line = std::max(first, 0); line <= last; ++line) {
    QString number = QString::number(line + 1);
    number =
        look.LineNumAlign == laLeft ? number.leftJustified(digits) : number.rightJustified(digits);
    p.drawText(QPoint(x, g.LineTop(line) + ascent), number);
  }
}

void TMemoGutter::PaintBookmarks(QPainter& p, int first, int last) {
  TCustomCodeMemo& m = memo_;
  const TMemoGeometry& g = m.geometry_;
  last = std::min(last, m.source_->LineCount() - 1);
  const int step = kGlyphWidth + 1;
  for (int line = std::max(first, 0); line <= last; ++line) {
    marks_.clear();
    m.source_->BookmarksOfLine(line, 0, INT_MAX, marks_);
    int x = 2;
    const int y = g.LineTop(line) + std::max(0, (g.LineHeight - kGlyphHeight) / 2);
    for (const TBookmark& b : marks_) {
      if (x + kGlyphWidth > g.Gutter - 2) break;
      p.drawPixmap(x, y, Glyph(b.Number % 10));
      x += step;
    }
  }
}

const QPixmap& TMemoGutter::Glyph(int digit) {
  QPixmap& glyph = glyphs_[static_cast<size_t>(digit)];
  if (!glyph.isNull()) return glyph;
  glyph = QPixmap(kGlyphWidth, kGlyphHeight);
  glyph.fill(Qt::transparent);
  QPainter gp(&glyph);
  gp.setRenderHint(QPainter::Antialiasing);
  gp.setPen(QColor(0, 64, 128));
  gp.setBrush(QColor(64, 128, 208));
  gp.drawRoundedRect(QRectF(0.5, 0.5, kGlyphWidth - 1, kGlyphHeight - 1), 2, 2);
  QFont f("Liberation Sans");
  f.setPixelSize(10);
  f.setBold(true);
  gp.setFont(f);
  gp.setPen(Qt::white);
  gp.drawText(QRect(0, 0, kGlyphWidth, kGlyphHeight), Qt::AlignCenter, QString::number(digit));
  gp.end();
  return glyph;
}

} // namespace marlo
