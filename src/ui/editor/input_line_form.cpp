#include "ui/editor/input_line_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlo {

TInputLineForm::TInputLineForm(QWidget* parent) : QDialog(parent) {
  setObjectName("InputLineForm");
  setWindowTitle("Go to line Number");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* panelLayout = new QVBoxLayout(panel);
  inputLabel_ = new QLabel("&Enter new line number:", panel);
  inputLabel_->setObjectName("InputLabel");
  propEdit_ = new QLineEdit(panel);
  propEdit_->setObjectName("PropEdit");
  propEdit_->setMinimumWidth(345);
  inputLabel_->setBuddy(propEdit_);
  panelLayout->addWidget(inputLabel_);
  panelLayout->addWidget(propEdit_);

  okBut_ = new QPushButton("OK", this);
  okBut_->setObjectName("OkBut");
  okBut_->setDefault(true);
  cancelBut_ = new QPushButton("Cancel", this);
  cancelBut_->setObjectName("CancelBut");
  helpBut_ = new QPushButton("&Help", this);
  helpBut_->setObjectName("HelpBut");
  helpBut_->setVisible(false);
  connect(okBut_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBut_, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okBut_);
  buttons->addWidget(cancelBut_);
  buttons->addWidget(helpBut_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
  propEdit_->setFocus();
}

} // namespace marlo
