#pragma once
// The built-in picture viewer: the picture at its own size (scrolling when it is larger
// than the screen), and below it the picture position under the mouse. A window of its
// own on top of the others; it frees itself when closed.
#include <QImage>
#include <QWidget>

class QLabel;
class QScrollArea;

namespace marlo {

class Tbitmapdlg : public QWidget {
  Q_OBJECT

public:
  explicit Tbitmapdlg(QWidget* parent = nullptr);

  // Reads the picture; false, with `error` naming the file and the reason, when it
  // cannot be read. The caption becomes `caption`.
  bool LoadFromFile(const QString& fileName, const QString& caption, QString* error);
  const QImage& Picture() const { return picture_; }
  QLabel* XLabel() const { return xLabel_; }
  QLabel* YLabel() const { return yLabel_; }
  QScrollArea* Scroller() const { return scroller_; }

protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  void FitToPicture();

  QImage picture_;
  QScrollArea* scroller_;
  QLabel* view_;
  QWidget* panel_;
  QLabel *xLabel_, *yLabel_;
};

} // namespace marlo
