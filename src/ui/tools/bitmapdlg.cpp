#include "ui/tools/bitmapdlg.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace marlo {

Tbitmapdlg::Tbitmapdlg(QWidget* parent) : QWidget(parent) {
  setObjectName("bitmapdlg");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  view_ = new QLabel;
  view_->setObjectName("Image1");
  view_->setMouseTracking(true);
  view_->installEventFilter(this);
  scroller_ = new QScrollArea(this);
  scroller_->setWidget(view_);
  scroller_->setAlignment(Qt::AlignCenter);
  panel_ = new QWidget(this);
  xLabel_ = new QLabel("X: 0", panel_);
  xLabel_->setObjectName("Label1");
  yLabel_ = new QLabel("Y: 0", panel_);
  yLabel_->setObjectName("Label2");
  auto* row = new QHBoxLayout(panel_);
  row->setContentsMargins(6, 2, 6, 2);
  row->addWidget(xLabel_);
  row->addWidget(yLabel_);
  row->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(scroller_, 1);
  layout->addWidget(panel_);
}

bool Tbitmapdlg::LoadFromFile(const QString& fileName, const QString& caption, QString* error) {
  QImageReader reader(fileName);
  QImage image = reader.read();
  if (image.isNull()) {
    if (error) *error = "\"" + fileName + "\": " + reader.errorString();
    return false;
  }
  picture_ = std::move(image);
  view_->setPixmap(QPixmap::fromImage(picture_));
  view_->resize(picture_.size());
  setWindowTitle(caption);
  FitToPicture();
  return true;
}

void Tbitmapdlg::FitToPicture() {
  // The picture and a margin of 16, at least 128 wide, never beyond the screen: a larger
  // picture scrolls.
  QSize size(std::max(128, picture_.width() + 16),
             picture_.height() + panel_->sizeHint().height() + 16);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    size = size.boundedTo(area.size() - QSize(32, 64));
    resize(size);
    move(area.center() - rect().center());
  } else {
    resize(size);
  }
}

bool Tbitmapdlg::eventFilter(QObject* watched, QEvent* e) {
  if (watched == view_ && e->type() == QEvent::MouseMove) {
    const QPoint at = static_cast<QMouseEvent*>(e)->position().toPoint();
    xLabel_->setText(QString("X: %1").arg(at.x()));
    yLabel_->setText(QString("Y: %1").arg(at.y()));
  }
  return QWidget::eventFilter(watched, e);
}

} // namespace marlo
