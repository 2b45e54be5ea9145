#include "ui/app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace marlo {

namespace {

// A page with a folded corner, its top left at (x, y).
void DrawPage(QPainter& p, int x, int y, int w, int h) {
  QPainterPath page;
  page.moveTo(x, y);
  page.lineTo(x + w - 4, y);
  page.lineTo(x + w, y + 4);
  page.lineTo(x + w, y + h);
  page.lineTo(x, y + h);
  page.closeSubpath();
  p.setBrush(Qt::white);
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.drawPath(page);
  p.drawLine(x + w - 4, y, x + w - 4, y + 4);
  p.drawLine(x + w - 4, y + 4, x + w, y + 4);
}

void DrawTextLines(QPainter& p, int x, int y, int w, int count) {
  p.setPen(QPen(QColor(0, 0, 128), 1));
  for (int i = 0; i < count; ++i) p.drawLine(x, y + 2 * i, x + w, y + 2 * i);
}

} // namespace

QIcon ToolbarIcon(TToolbarImage image) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.translate(0.5, 0.5);
  switch (image) {
  case TToolbarImage::New:
    DrawPage(p, 2, 0, 11, 15);
    break;
  case TToolbarImage::Open:
    p.setPen(QColor(96, 64, 0));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 5, 2);
    p.setBrush(QColor(255, 230, 140));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
    break;
  case TToolbarImage::Save:
    p.setPen(QColor(0, 0, 64));
    p.setBrush(QColor(40, 60, 160));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 9, 9, 5);
    break;
  case TToolbarImage::Print:
    DrawPage(p, 4, 0, 8, 6);
    p.setPen(QColor(48, 48, 48));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(1, 6, 14, 6);
    DrawPage(p, 4, 10, 8, 5);
    p.setPen(QColor(0, 160, 0));
    p.drawPoint(12, 8);
    break;
  case TToolbarImage::Cut:
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.drawLine(5, 0, 10, 9);
    p.drawLine(10, 0, 5, 9);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(160, 0, 0), 1.5));
    p.drawEllipse(2, 9, 5, 5);
    p.drawEllipse(8, 9, 5, 5);
    break;
  case TToolbarImage::Copy:
    DrawPage(p, 1, 0, 8, 10);
    DrawTextLines(p, 3, 3, 4, 3);
    DrawPage(p, 6, 5, 8, 10);
    DrawTextLines(p, 8, 8, 4, 3);
    break;
  case TToolbarImage::Paste:
    p.setPen(QColor(96, 64, 0));
    p.setBrush(QColor(200, 150, 70));
    p.drawRect(1, 2, 10, 13);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(4, 0, 4, 3);
    DrawPage(p, 6, 6, 8, 9);
    DrawTextLines(p, 8, 9, 4, 3);
    break;
  }
  return QIcon(pixmap);
}

} // namespace marlo
