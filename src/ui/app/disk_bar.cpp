#include "ui/app/disk_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace marlo {

TDiskBar::TDiskBar(QWidget* parent) : QFrame(parent) {
  setObjectName("DiskBar");
  setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(255, 241, 184));
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 3, 8, 3);
  text_ = new QLabel(this);
  text_->setObjectName("DiskBarText");
  layout->addWidget(text_, 1);
  for (int i = 0; i < 2; ++i) {
    buttons_[i] = new QPushButton(this);
    buttons_[i]->setObjectName(QString("DiskBarButton%1").arg(i));
    layout->addWidget(buttons_[i]);
    connect(buttons_[i], &QPushButton::clicked, this, [this, i] { emit answered(kind_, i); });
  }
  hide();
}

void TDiskBar::ShowKind(TKind kind, const QString& text, const QString& first,
                        const QString& second) {
  kind_ = kind;
  text_->setText(text);
  buttons_[0]->setText(first);
  buttons_[1]->setText(second);
  show();
}

QString TDiskBar::Text() const {
  return text_->text();
}

} // namespace marlo
