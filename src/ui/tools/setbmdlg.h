#pragma once
// The numbered-bookmark box that both Set Bookmark and Go to Bookmark show: one digit,
// OK and Cancel. One lives for the whole run; its caption is set by whoever shows it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace marlo {

class TMainForm;

class Tsetbmdlg : public QDialog {
  Q_OBJECT

public:
  // The modal results: 1900 plus the digit after OK, 1899 after Cancel.
  static constexpr int kResultBase = 1900;
  static constexpr int kResultCancel = 1899;

  explicit Tsetbmdlg(TMainForm& main);

  // Captions from the language table.
  void FormCreate();
  void cmokClick();
  void cmcancelClick();
  // The bookmark a result names: the digit, 0 meaning bookmark 10 as on the keyboard;
  // -1 for Cancel.
  static int BookmarkOfResult(int result);

  QLineEdit* Me() const { return me_; }
  QLabel* Label1() const { return label1_; }
  QPushButton* Cmok() const { return cmok_; }
  QPushButton* Cmcancel() const { return cmcancel_; }

protected:
  void showEvent(QShowEvent* e) override;

private:
  TMainForm& main_;
  QLineEdit* me_;
  QLabel* label1_;
  QPushButton *cmok_, *cmcancel_;
};

} // namespace marlo
