#include "ui/editor/memo_print_preview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace marlo {

class TMemoPrintPreview::TPageView : public QWidget {
public:
  explicit TPageView(TMemoPrintPreview& owner) : owner_(owner) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const qreal scale = owner_.zoom_ / 100.0;
    p.scale(scale, scale);
    owner_.job_->PaintPage(p, owner_.page_);
    ++owner_.paintedPages_;
  }

private:
  TMemoPrintPreview& owner_;
};

TMemoPrintPreview::TMemoPrintPreview(TCustomCodeMemo& memo, const std::string& fileName,
                                     const QPageLayout& page, QWidget* parent)
    : QDialog(parent), copy_(memo, fileName), job_(copy_.MakeJob(memo)) {
  setObjectName("MemoPrintPreview");
  setWindowTitle("Print Preview");
  job_->Layout(page);
  prevBut_ = new QPushButton("<", this);
  prevBut_->setObjectName("PrevBut");
  nextBut_ = new QPushButton(">", this);
  nextBut_->setObjectName("NextBut");
  pageLabel_ = new QLabel(this);
  pageLabel_->setObjectName("PageLabel");
  zoomBox_ = new QComboBox(this);
  zoomBox_->setObjectName("ZoomBox");
  for (int z : {50, 75, 100, 125, 150, 200}) zoomBox_->addItem(QString("%1%").arg(z), z);
  zoomBox_->setCurrentIndex(2);
  printBut_ = new QPushButton("&Print", this);
  printBut_->setObjectName("PrintBut");
  closeBut_ = new QPushButton("&Close", this);
  closeBut_->setObjectName("CloseBut");
  connect(prevBut_, &QPushButton::clicked, this, [this] { SetPage(page_ - 1); });
  connect(nextBut_, &QPushButton::clicked, this, [this] { SetPage(page_ + 1); });
  connect(zoomBox_, &QComboBox::currentIndexChanged, this,
          [this](int i) { SetZoom(zoomBox_->itemData(i).toInt()); });
  connect(printBut_, &QPushButton::clicked, this, &QDialog::accept);
  connect(closeBut_, &QPushButton::clicked, this, &QDialog::reject);

  auto* bar = new QHBoxLayout;
  bar->addWidget(prevBut_);
  bar->addWidget(pageLabel_);
  bar->addWidget(nextBut_);
  bar->addWidget(zoomBox_);
  bar->addStretch();
  bar->addWidget(printBut_);
  bar->addWidget(closeBut_);
  view_ = new TPageView(*this);
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(view_);
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setBackgroundRole(QPalette::Dark);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(scroll_);
  resize(job_->PagePixels().width() + 60, 700);
  Update();
}

TMemoPrintPreview::~TMemoPrintPreview() = default;

void TMemoPrintPreview::SetPage(int page) {
  page_ = std::clamp(page, 1, PageCount());
  Update();
}

void TMemoPrintPreview::SetZoom(int percent) {
  zoom_ = std::clamp(percent, 10, 400);
  Update();
}

void TMemoPrintPreview::Update() {
  const QSize size = job_->PagePixels() * (zoom_ / 100.0);
  view_->setFixedSize(size);
  pageLabel_->setText(QString("Page %1/%2").arg(page_).arg(PageCount()));
  prevBut_->setEnabled(page_ > 1);
  nextBut_->setEnabled(page_ < PageCount());
  view_->update();
}

void TMemoPrintPreview::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
  case Qt::Key_PageDown:
    SetPage(page_ + 1);
    return;
  case Qt::Key_PageUp:
    SetPage(page_ - 1);
    return;
  case Qt::Key_Home:
    SetPage(1);
    return;
  case Qt::Key_End:
    SetPage(PageCount());
    return;
  default:
    QDialog::keyPressEvent(e);
  }
}

bool ShowPrintPreview(TCustomCodeMemo& memo, const std::string& fileName, const QPageLayout& page,
                      QWidget* parent) {
  TMemoPrintPreview preview(memo, fileName, page, parent);
  return preview.exec() == QDialog::Accepted;
}

} // namespace marlo
