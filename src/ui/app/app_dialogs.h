#pragma once
// The message boxes and common dialogs of the program behind one object, so that a test
// can answer them instead of a user.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include "ui/recovery/recovery_dlg.h"
#include "ui/restore_activation.h"

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace marlo {

// What an open or save dialog starts with.
struct TFileDialogSetup {
  QString Title;
  QString Folder;
  QString FileName;
  QStringList Filters;   // Qt's form: "Zorbic Source (*.zba)"
  QString DefaultSuffix; // given to a name typed without extension
  // The default suffix for a 1-based filter index, when it follows the chosen type.
  std::function<QString(int)> SuffixOfFilter;
};

class TAppDialogs {
public:
  enum TAnswer { Yes, No, Cancel };

  virtual ~TAppDialogs() = default;
  // An error box with an OK button.
  virtual void Error(QWidget* parent, const QString& text);
  // A plain message box with an OK button.
  virtual void Message(QWidget* parent, const QString& text);
  // A confirmation with Yes, No and Cancel; closing the box is Cancel.
  virtual TAnswer Question(QWidget* parent, const QString& text);
  // A confirmation with Yes and No; closing the box is No.
  virtual bool Confirm(QWidget* parent, const QString& text);
  // A question with buttons of its own, the last one Cancel: the index of the button
  // pressed; closing the box is the last.
  virtual int Choose(QWidget* parent, const QString& text, const QStringList& buttons);
  // The chosen file's name, or an empty text when cancelled.
  virtual QString OpenFile(QWidget* parent, const TFileDialogSetup& setup);
  virtual QString SaveFile(QWidget* parent, const TFileDialogSetup& setup);
  // `customColors` comes in as the dialog's custom colours and goes out as the user left
  // them, confirmed or not. The dialog starts at `initial`.
  virtual std::optional<QColor> Color(QWidget* parent, QList<QColor>& customColors,
                                      const QColor& initial = QColor(Qt::black));
  // A fixed-pitch font with its effects (underline, strike-out), starting at `initial`;
  // nothing when cancelled.
  virtual std::optional<QFont> Font(QWidget* parent, const QFont& initial);
  // One existing folder, starting at `folder`; an empty text when cancelled.
  virtual QString Folder(QWidget* parent, const QString& title, const QString& folder);
  // The journals found at start-up: what to do with each; closing the window keeps them all.
  virtual std::vector<TRecoveryChoice> Recovery(QWidget* parent,
                                                const std::vector<TRecoveryRow>& rows,
                                                const TRecoveryDlg::TTexts& text);
};

} // namespace marlo
