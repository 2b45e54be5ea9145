#pragma once
// The bar at the top of a document window that says its file changed on disk, or went
// away, with the two answers to it; unlike a message box it lets the user go on working
// and answer later.
#include <QFrame>

class QLabel;
class QPushButton;

namespace marlo {

class TDiskBar : public QFrame {
  Q_OBJECT

public:
  enum TKind { Changed, Removed };

  explicit TDiskBar(QWidget* parent = nullptr);

  void ShowKind(TKind kind, const QString& text, const QString& first, const QString& second);
  TKind Kind() const { return kind_; }
  QString Text() const;
  // 0 the first answer (Reload, Save), 1 the second (Keep Mine, Close).
  QPushButton* Button(int i) const { return buttons_[i]; }

signals:
  void answered(TKind kind, int button);

private:
  TKind kind_ = Changed;
  QLabel* text_;
  QPushButton* buttons_[2];
};

} // namespace marlo
