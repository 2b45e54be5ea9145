#pragma once
// The Go to Line Number box: one line of text and OK or Cancel.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace marlo {

class TInputLineForm : public QDialog {
  Q_OBJECT

public:
  explicit TInputLineForm(QWidget* parent = nullptr);

  QLineEdit* PropEdit() const { return propEdit_; }
  QLabel* InputLabel() const { return inputLabel_; }
  QPushButton* OkBut() const { return okBut_; }
  QPushButton* CancelBut() const { return cancelBut_; }

private:
  QLabel* inputLabel_;
  QLineEdit* propEdit_;
  QPushButton *okBut_, *cancelBut_, *helpBut_;
};

} // namespace marlo
