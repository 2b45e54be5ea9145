// Draws the pictures that live in data/: the six toolbar bitmaps, the about box's banner
// and the program's icon. Run scripts/art/draw-art to make them again.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>
#include <functional>

namespace {

using Glyph = std::function<void(QPainter&)>;

// A flat toolbar button's picture: a small glyph and a word, on the button face grey.
QImage Button(const QString& word, const Glyph& glyph) {
  QImage image(88, 20, QImage::Format_RGB888);
  image.fill(QColor(212, 208, 200));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.save();
  p.translate(3, 2);
  glyph(p);
  p.restore();
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(16, 16, 64));
  p.drawText(QRect(22, 0, 66, 20), Qt::AlignVCenter | Qt::AlignLeft, word);
  return image;
}

void Tick(QPainter& p) {
  p.setPen(QPen(QColor(0, 140, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygon({QPoint(2, 9), QPoint(6, 14), QPoint(14, 2)}));
}

void Play(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 120, 200));
  p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(15, 8), QPoint(3, 15)}));
}

void Gear(QPainter& p, const QColor& color) {
  p.setPen(QPen(color, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
  for (int i = 0; i < 8; ++i) {
    p.save();
    p.translate(8, 8);
    p.rotate(45 * i);
    p.drawLine(QPointF(0, -5.5), QPointF(0, -7.5));
    p.restore();
  }
}

void Box(QPainter& p) {
  Gear(p, QColor(120, 60, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 170, 0));
  p.drawEllipse(QPointF(8, 8), 2, 2);
}

void Function(QPainter& p) {
  QFont f("Liberation Serif");
  f.setPixelSize(16);
  f.setItalic(true);
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(128, 0, 128));
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, "f");
}

void Label(QPainter& p) {
  QPainterPath tag;
  tag.moveTo(1, 4);
  tag.lineTo(10, 4);
  tag.lineTo(15, 8);
  tag.lineTo(10, 12);
  tag.lineTo(1, 12);
  tag.closeSubpath();
  p.setPen(QPen(QColor(120, 80, 0), 1));
  p.setBrush(QColor(250, 210, 90));
  p.drawPath(tag);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(10, 8), 1.5, 1.5);
}

QImage Banner() {
  QImage image(400, 120, QImage::Format_RGB888);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 400, 0);
  sky.setColorAt(0, QColor(90, 0, 110));
  sky.setColorAt(1, QColor(0, 0, 110));
  p.fillRect(image.rect(), sky);
  // A wire-frame floor running to the horizon: the 3-D games Zorbic makes.
  p.setPen(QPen(QColor(120, 200, 255, 140), 1));
  for (int i = -10; i <= 10; ++i) p.drawLine(QPointF(200 + i * 8, 70), QPointF(200 + i * 60, 120));
  for (int j = 0; j < 6; ++j) {
    double y = 70 + 50.0 * (j * j) / 25.0;
    p.drawLine(QPointF(0, y), QPointF(400, y));
  }
  // A cube over the floor.
  p.setPen(QPen(QColor(255, 220, 120), 2));
  QPolygonF front({QPointF(300, 30), QPointF(340, 30), QPointF(340, 70), QPointF(300, 70)});
  QPolygonF back = front.translated(14, -12);
  p.drawPolygon(front);
  p.drawPolygon(back);
  for (int i = 0; i < 4; ++i) p.drawLine(front[i], back[i]);
  QFont title("Liberation Sans");
  title.setPixelSize(44);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0, 0, 0, 120));
  p.drawText(QRect(27, 13, 260, 56), Qt::AlignLeft | Qt::AlignVCenter, "Marlo");
  p.setPen(Qt::white);
  p.drawText(QRect(24, 10, 260, 56), Qt::AlignLeft | Qt::AlignVCenter, "Marlo");
  QFont sub("Liberation Sans");
  sub.setPixelSize(14);
  p.setFont(sub);
  p.setPen(QColor(220, 220, 255));
  p.drawText(QRect(26, 62, 300, 20), Qt::AlignLeft | Qt::AlignVCenter, "Zorbic source editor");
  return image;
}

QImage Icon() {
  QImage image(64, 64, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 64, 64);
  g.setColorAt(0, QColor(110, 0, 130));
  g.setColorAt(1, QColor(0, 0, 128));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  QFont f("Liberation Sans");
  f.setPixelSize(44);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 64, 62), Qt::AlignCenter, "M");
  return image;
}

bool Save(const QImage& image, const QString& path, const char* format, int quality = -1) {
  if (image.save(path, format, quality)) return true;
  std::fprintf(stderr, "draw_art: cannot write %s\n", qPrintable(path));
  return false;
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_art DATADIR\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  bool ok = true;
  ok &= Save(Button("Check", Tick), dir + "compile.bmp", "BMP");
  ok &= Save(Button("Execute", Play), dir + "execute.bmp", "BMP");
  ok &= Save(Button("Make EXE", [](QPainter& p) { Gear(p, QColor(60, 60, 60)); }),
             dir + "MakeEXE.bmp", "BMP");
  ok &= Save(Button("Final EXE", Box), dir + "MakeFinal.bmp", "BMP");
  ok &= Save(Button("Functions", Function), dir + "functions.bmp", "BMP");
  ok &= Save(Button("Labels", Label), dir + "labels.bmp", "BMP");
  ok &= Save(Banner(), dir + "about.jpg", "JPG", 90);
  ok &= Save(Icon(), dir + "marlo.png", "PNG");
  return ok ? 0 : 1;
}
