#include "ui/tools/setbmdlg.h"

#include "ui/app/main_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace marlo {

Tsetbmdlg::Tsetbmdlg(TMainForm& main) : QDialog(&main), main_(main) {
  setObjectName("setbmdlg");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  label1_ = new QLabel("Bookmark Number:", this);
  label1_->setObjectName("Label1");
  label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  me_ = new QLineEdit("1", this);
  me_->setObjectName("me");
  me_->setMaxLength(1);
  me_->setFixedWidth(25);
  me_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]?"), me_));
  cmok_ = new QPushButton("OK", this);
  cmok_->setObjectName("cmok");
  cmok_->setDefault(true);
  cmcancel_ = new QPushButton("Cancel", this);
  cmcancel_->setObjectName("cmcancel");
  connect(cmok_, &QPushButton::clicked, this, [this] { cmokClick(); });
  connect(cmcancel_, &QPushButton::clicked, this, [this] { cmcancelClick(); });
  auto* grid = new QGridLayout(this);
  grid->addWidget(label1_, 0, 0);
  grid->addWidget(me_, 0, 1);
  grid->addWidget(cmcancel_, 1, 0);
  grid->addWidget(cmok_, 1, 1);
  FormCreate();
}

void Tsetbmdlg::FormCreate() {
  label1_->setText(main_.UiText("SetMarkLabel"));
  setWindowTitle(main_.UiText("SetMarkCaption"));
  cmcancel_->setText(main_.UiText("CancelButton"));
  cmok_->setText(main_.UiText("OKButton"));
}

void Tsetbmdlg::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  me_->selectAll();
  me_->setFocus();
}

void Tsetbmdlg::cmokClick() {
  bool ok = false;
  int digit = me_->text().trimmed().toInt(&ok);
  if (!ok || digit < 0 || digit > 9) digit = 1;
  done(kResultBase + digit);
}

void Tsetbmdlg::cmcancelClick() {
  done(kResultCancel);
}

int Tsetbmdlg::BookmarkOfResult(int result) {
  if (result < kResultBase) return -1;
  int digit = result - kResultBase;
  return digit == 0 ? 10 : digit;
}

} // namespace marlo
