#pragma once
// The preprocessor's status dialog: runs the enabled passes once, at its first showing,
// lists what they did, shows the first error, and closes with the result the user chose
// (build the output, cancel, replace the source, edit the output, go to the error line).
#include "core/preproc/preprocessor.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace marlo {

class TMainForm;

class Tpreprocdlg : public QDialog {
  Q_OBJECT

public:
  Tpreprocdlg(TMainForm& main, preproc::TPreprocOptions options);
  ~Tpreprocdlg() override;

  // Takes the lines to be built; the passes run at the first showing.
  void SetUp(preproc::TLineBlock&& source);

  const preproc::TPreprocessor& Preprocessor() const { return preprocessor_; }
  QListView* Status() const { return status_; }
  QLineEdit* ebError() const { return ebError_; }
  QPushButton* Button(preproc::TPreprocResult result) const;
  // Whether the passes have run (they do once the dialog has been painted).
  bool HasRun() const { return ran_; }

protected:
  void showEvent(QShowEvent* e) override;
  void reject() override;

private:
  void FormActivate();

  TMainForm& main_;
  preproc::TPreprocOptions options_;
  preproc::TPreprocessor preprocessor_;
  bool firstActivation_ = false;
  bool ran_ = false;
  class TStatusModel;
  TStatusModel* model_;
  QLabel* lbstatus_;
  QListView* status_;
  QLabel* lberror_;
  QLineEdit* ebError_;
  QPushButton* cmGotoError_;
  QPushButton* cmReplace_;
  QPushButton* cmEditModified_;
  QPushButton* cmContinue_;
  QPushButton* cmCancel_;
};

} // namespace marlo
