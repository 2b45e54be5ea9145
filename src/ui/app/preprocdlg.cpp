#include "ui/app/preprocdlg.h"

#include "ui/app/main_form.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace marlo {

using preproc::TPreprocResult;

// The status lines as a list the view asks for row by row: a run of a million lines shows
// at once, converting only the rows in view.
class Tpreprocdlg::TStatusModel : public QAbstractListModel {
public:
  TStatusModel(const TMainForm& main, const preproc::TStatusLog& log, QObject* parent)
      : QAbstractListModel(parent), main_(main), log_(log) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(std::min<size_t>(log_.Count(), INT_MAX));
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return main_.ToQString(std::string(log_.Line(static_cast<size_t>(index.row()))));
  }
  void Reload() {
    beginResetModel();
    endResetModel();
  }

private:
  const TMainForm& main_;
  const preproc::TStatusLog& log_;
};

Tpreprocdlg::Tpreprocdlg(TMainForm& main, preproc::TPreprocOptions options)
    : QDialog(&main), main_(main), options_(options), preprocessor_(main.Language()) {
  setObjectName("preprocdlg");
  setWindowTitle(main.UiText("PreCaption"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  model_ = new TStatusModel(main, preprocessor_.Status(), this);

  lbstatus_ = new QLabel(main.UiText("PreStatusLabel"), this);
  lbstatus_->setObjectName("lbstatus");
  status_ = new QListView(this);
  status_->setObjectName("Status");
  status_->setModel(model_);
  status_->setUniformItemSizes(true);
  status_->setSelectionMode(QAbstractItemView::NoSelection);
  status_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  status_->setWordWrap(false);
  status_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  status_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  lberror_ = new QLabel(main.UiText("PreErrorLabel"), this);
  lberror_->setObjectName("lberror");
  ebError_ = new QLineEdit(this);
  ebError_->setObjectName("ebError");
  ebError_->setReadOnly(true);

  auto button = [this](const char* name, const char* key, TPreprocResult result) {
    auto* b = new QPushButton(main_.UiText(key), this);
    b->setObjectName(name);
    b->setEnabled(false);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, result] { done(static_cast<int>(result)); });
    return b;
  };
  cmGotoError_ = button("cmGotoError", "PreGotoErrorButton", TPreprocResult::GotoError);
  cmReplace_ = button("cmReplace", "PreReplaceSourceButton", TPreprocResult::ReplaceSource);
  cmEditModified_ = button("cmEditModified", "PreEditModifiedButton", TPreprocResult::EditModified);
  cmContinue_ = button("cmContinue", "PreContinue", TPreprocResult::Continue);
  cmContinue_->setDefault(true);
  cmCancel_ = button("cmCancel", "cancelButton", TPreprocResult::Cancel);
  cmCancel_->setEnabled(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lbstatus_, 0, 0);
  grid->addWidget(status_, 1, 0);
  grid->addWidget(lberror_, 2, 0);
  grid->addWidget(ebError_, 3, 0);
  auto* row = new QHBoxLayout;
  for (QPushButton* b : {cmGotoError_, cmReplace_, cmEditModified_, cmContinue_, cmCancel_})
    row->addWidget(b);
  grid->addLayout(row, 4, 0);
  status_->setMinimumSize(520, 220);
  setFixedSize(sizeHint());
}

Tpreprocdlg::~Tpreprocdlg() = default;

void Tpreprocdlg::SetUp(preproc::TLineBlock&& source) {
  preprocessor_.SetUp(std::move(source));
  firstActivation_ = true;
  ran_ = false;
}

QPushButton* Tpreprocdlg::Button(TPreprocResult result) const {
  switch (result) {
  case TPreprocResult::Continue:
    return cmContinue_;
  case TPreprocResult::Cancel:
    return cmCancel_;
  case TPreprocResult::ReplaceSource:
    return cmReplace_;
  case TPreprocResult::EditModified:
    return cmEditModified_;
  case TPreprocResult::GotoError:
    return cmGotoError_;
  }
  return nullptr;
}

void Tpreprocdlg::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (QScreen* screen = main_.screen()) {
    const QRect r = screen->availableGeometry();
    move(r.center() - rect().center());
  }
  // The passes run once the dialog stands painted on the screen, so that the user sees
  // what is busy; a later activation runs nothing again.
  if (firstActivation_) QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void Tpreprocdlg::FormActivate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    preprocessor_.Activate(options_);
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
  ran_ = true;
  model_->Reload();
  status_->scrollToBottom();
  ebError_->setText(main_.ToQString(preprocessor_.ErrorText()));
  for (TPreprocResult r : preprocessor_.Results())
    if (QPushButton* b = Button(r)) b->setEnabled(true);
  if (cmContinue_->isEnabled())
    cmContinue_->setFocus();
  else if (cmGotoError_->isEnabled())
    cmGotoError_->setFocus();
}

void Tpreprocdlg::reject() {
  // Esc and the close box build nothing.
  done(static_cast<int>(TPreprocResult::Cancel));
}

} // namespace marlo
