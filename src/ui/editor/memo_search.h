#pragma once
// What an editor control's model needs from windows to search: the find, replace and go
// to line dialogs, the replace question, the not-found message, and the progress box and
// busy pointer of a long search.
#include "core/text/memo_source.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QProgressDialog;

namespace marlo {

class TCustomCodeMemo;

class TMemoSearch : public QObject {
  Q_OBJECT

public:
  // Takes over the search events of the control's model.
  explicit TMemoSearch(TCustomCodeMemo& memo);
  ~TMemoSearch() override;

  // Prepares the shared options from the caret and the selection, shows the dialog and,
  // after OK (or Replace All), searches or replaces. Errors are raised.
  void ExecuteFindDialog();
  void ExecuteReplaceDialog();
  void FindAgain();
  // Asks for a line number and puts the caret at the start of that line.
  void GotoLine();

  // Told of each dialog after it is made and before it shows.
  std::function<void(QDialog*)> OnCreateDialog;
  // Shows the not-found report; an information box without it.
  std::function<void(const QString&)> OnMessage;
  // Asks the replace question; a box with Yes, No, Cancel and All without it.
  std::function<TReplaceAnswer(const QString&)> OnPrompt;

  // The box with Yes, No, Cancel and All; closing it is Cancel.
  static TReplaceAnswer AskReplace(QWidget* parent, const QString& question);

private:
  void Prepare();
  // Shows a dialog of the kind and, after OK (or Replace All), runs `run` on the model.
  template <class TDialog> void RunDialog(bool (TCustomMemoSource::*run)());
  bool Still(TCustomMemoSource* source) const;
  void Busy(bool on);
  bool Poll();

  TCustomCodeMemo& memo_;
  // The progress of a long search: shown after a while, it takes Esc and Cancel.
  std::unique_ptr<QProgressDialog> progress_;
  long long busyStart_ = 0, lastPoll_ = 0;
  bool busy_ = false, cursorSet_ = false, cancelled_ = false;
};

} // namespace marlo
