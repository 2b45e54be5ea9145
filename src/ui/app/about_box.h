#pragma once
// The about box: the banner picture and the nine lines of the language table.
#include <QDialog>

class QLabel;

namespace marlo {

class TMainForm;

class TAboutBox : public QDialog {
  Q_OBJECT

public:
  explicit TAboutBox(TMainForm& main);

  QLabel* Banner() const { return banner_; }

private:
  QLabel* banner_;
};

} // namespace marlo
