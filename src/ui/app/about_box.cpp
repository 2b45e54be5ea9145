#include "ui/app/about_box.h"

#include "ui/app/jpeg_picture.h"
#include "ui/app/main_form.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace marlo {

TAboutBox::TAboutBox(TMainForm& main) : QDialog(&main) {
  setObjectName("AboutBox");
  setWindowTitle(main.UiText("AboutCaption"));
  auto* layout = new QVBoxLayout(this);
  banner_ = new QLabel(this);
  banner_->setObjectName("Banner");
  banner_->setAlignment(Qt::AlignCenter);
  try {
    banner_->setPixmap(QPixmap::fromImage(LoadJpegPicture(main.ProgramFolder() + "about.jpg")));
  } catch (const std::exception& e) {
    // The box is still of use without its picture.
    std::fprintf(stderr, "marlo: %s\n", e.what());
  }
  layout->addWidget(banner_);
  for (int i = 1; i <= 9; ++i) {
    const std::string key = "AboutL" + std::to_string(i);
    auto* label = new QLabel(main.UiText(key), this);
    label->setObjectName(QString::fromStdString(key));
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
  }
  auto* ok = new QPushButton(main.UiText("OKbutton"), this);
  ok->setObjectName("OKbutton");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace marlo
