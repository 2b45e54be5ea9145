#include "ui/editor/memo_search.h"

#include "core/error.h"
#include "core/search/search_texts.h"
#include "core/shell/goto_line.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/editor/input_line_form.h"
#include "ui/editor/search_dialog.h"
#include "ui/qt_text.h"
#include "ui/restore_activation.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

namespace marlo {

namespace {

// A long search gives the window a turn this often, and shows its progress box after
// this long.
constexpr long long kSliceMs = 16;
constexpr long long kProgressAfterMs = 200;

long long NowMs() {
  return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

TMemoSearch::TMemoSearch(TCustomCodeMemo& memo) : QObject(&memo), memo_(memo) {
  TCustomMemoSource& source = memo_.MemoSource();
  source.OnSearchMessage = [this](TCustomMemoSource&, const std::string& text) {
    QString message = BytesToQString(text, memo_.CodePage());
    if (OnMessage)
      OnMessage(message);
    else
      QMessageBox::information(memo_.window(), QApplication::applicationName(), message);
  };
  source.OnReplacePrompt = [this](TCustomMemoSource&, const std::string& question) {
    // The search's change has ended: the match is painted; bring it into view first.
    memo_.ScrollToCaret();
    QString text = BytesToQString(question, memo_.CodePage());
    return OnPrompt ? OnPrompt(text) : AskReplace(memo_.window(), text);
  };
  source.OnSearchBusy = [this](TCustomMemoSource&, bool on) { Busy(on); };
  source.OnSearchPoll = [this](TCustomMemoSource&) { return Poll(); };
}

// The control, and the model with the hooks, go with it: nothing to take back there.
TMemoSearch::~TMemoSearch() {
  if (cursorSet_) QApplication::restoreOverrideCursor();
}

TReplaceAnswer TMemoSearch::AskReplace(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), question,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll,
                  parent);
  box.button(QMessageBox::YesToAll)->setText("&All");
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  const int answer = box.exec();
  RestoreActivation(parent);
  switch (answer) {
  case QMessageBox::Yes:
    return TReplaceAnswer::Yes;
  case QMessageBox::No:
    return TReplaceAnswer::No;
  case QMessageBox::YesToAll:
    return TReplaceAnswer::All;
  default:
    return TReplaceAnswer::Cancel;
  }
}

void TMemoSearch::Prepare() {
  TCustomMemoSource& source = memo_.MemoSource();
  TSearchOptions& o = SharedSearchOptions();
  if (source.Has(soFindTextAtCursor)) o.TextToFind = source.WordAtCaret();
  o.Scope = source.HasSelection() && source.CaretAtSelection() ? TSearchScope::ssSelectedText
                                                               : TSearchScope::ssGlobal;
}

bool TMemoSearch::Still(TCustomMemoSource* source) const {
  return TCustomMemoSource::DialogSource() == source;
}

template <class TDialog> void TMemoSearch::RunDialog(bool (TCustomMemoSource::*run)()) {
  Prepare();
  TCustomMemoSource* source = &memo_.MemoSource();
  QPointer<TCustomCodeMemo> memo(&memo_);
  TDialog dialog(memo_.CodePage(), memo_.window());
  if (OnCreateDialog) OnCreateDialog(&dialog);
  source->SetAsDialogSource();
  int result = dialog.exec();
  RestoreActivation(memo_.window());
  // The document may have been closed while the dialog was open.
  if ((result == QDialog::Accepted || result == TSearchDialog::kResultAll) && memo && Still(source))
    (source->*run)();
}

void TMemoSearch::ExecuteFindDialog() {
  RunDialog<TSrchDialog>(&TCustomMemoSource::FindText);
}

void TMemoSearch::ExecuteReplaceDialog() {
  RunDialog<TReplDialog>(&TCustomMemoSource::ReplaceText);
}

void TMemoSearch::FindAgain() {
  memo_.MemoSource().FindAgain();
}

void TMemoSearch::GotoLine() {
  TCustomMemoSource* source = &memo_.MemoSource();
  QPointer<TCustomCodeMemo> memo(&memo_);
  source->SetAsDialogSource();
  TInputLineForm dialog(memo_.window());
  dialog.PropEdit()->setText(QString::number(source->CaretY() + 1));
  dialog.PropEdit()->selectAll();
  if (OnCreateDialog) OnCreateDialog(&dialog);
  const int result = dialog.exec();
  RestoreActivation(memo_.window());
  if (result != QDialog::Accepted || !memo || !Still(source)) return;
  const std::string text = QStringToBytes(dialog.PropEdit()->text(), memo_.CodePage());
  int line = 0;
  if (!ParseGotoLine(text, source->LineCount(), line))
    throw Error(FormatSearchText(SharedSearchTexts().GotoLineInvalid, text));
  source->SetCaret(0, line);
  memo_.ScrollToCaret();
}

void TMemoSearch::Busy(bool on) {
  if (on) {
    busy_ = true;
    cancelled_ = false;
    busyStart_ = lastPoll_ = NowMs();
    if (!QApplication::overrideCursor() ||
        QApplication::overrideCursor()->shape() != Qt::WaitCursor) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      cursorSet_ = true;
    }
    return;
  }
  busy_ = false;
  progress_.reset();
  if (cursorSet_) {
    QApplication::restoreOverrideCursor();
    cursorSet_ = false;
  }
}

bool TMemoSearch::Poll() {
  if (cancelled_) return true;
  long long now = NowMs();
  if (now - lastPoll_ < kSliceMs) return false;
  lastPoll_ = now;
  if (!progress_ && busy_ && now - busyStart_ >= kProgressAfterMs) {
    progress_ = std::make_unique<QProgressDialog>("Searching...", "Cancel", 0, 0, memo_.window());
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(0);
    progress_->setObjectName("SearchProgress");
    progress_->show();
  }
  // Repaints; once the box shows (and holds every other window still), it takes Esc or a
  // click on Cancel. Before, no key or click may reach the text being searched.
  QApplication::processEvents(progress_ ? QEventLoop::AllEvents
                                        : QEventLoop::ExcludeUserInputEvents);
  // Esc rejects the box, which hides it without counting as a cancel: a hidden box is one.
  if (progress_ && (progress_->wasCanceled() || !progress_->isVisible())) cancelled_ = true;
  return cancelled_;
}

} // namespace marlo
