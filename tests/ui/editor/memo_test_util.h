#pragma once
// A document-like editor control over a text model of given lines, shown and focused on
// the offscreen platform, with helpers that press keys and buttons the way a user does.
#include "core/text/memo_source.h"
#include "ui/editor/code_memo.h"

#include <QApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace marlo::test {

inline std::vector<std::string> Lines(const TCustomMemoSource& s) {
  std::vector<std::string> out;
  for (int i = 0; i < s.LineCount(); ++i) out.emplace_back(s.StoredLine(i));
  return out;
}

class MemoFixture {
public:
  explicit MemoFixture(const std::vector<std::string>& lines, QWidget* parent = nullptr)
      : memo(parent) {
    source.ConfigureAsDocument();
    source.SetOverwrite(false); // the mode is shared by every model: each test starts inserting
    source.Lines().Assign(lines);
    source.SetModified(false);
    source.SetCaret(0, 0);
    memo.ConfigureAsDocument();
    memo.SetMemoSource(&source);
    memo.OnError = [](const std::string& text) { QFAIL(text.c_str()); };
    if (!parent) memo.resize(480, 320);
  }

  // Shows the control (or its window) and gives it the focus.
  bool Show() {
    QWidget* top = memo.window();
    top->show();
    if (!QTest::qWaitForWindowExposed(top)) return false;
    top->activateWindow();
    memo.setFocus();
    return QTest::qWaitFor([&] { return memo.hasFocus(); });
  }

  const TMemoGeometry& G() const { return memo.Geometry(); }
  // The middle of the cell of column x on line y, in viewport pixels.
  QPoint Cell(int x, int y) const {
    return QPoint(G().ColumnX(x) + G().CharWidth / 2, G().LineTop(y) + G().LineHeight / 2);
  }

  // Just right of the boundary before column x on line y: the caret goes to column x.
  QPoint Boundary(int x, int y) const {
    return QPoint(G().ColumnX(x) + 1, G().LineTop(y) + G().LineHeight / 2);
  }

  void Press(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, at, button, button, mods);
  }
  void Move(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, mods);
  }
  void Release(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton, mods);
  }
  void DoubleClick(QPoint at) {
    Press(at);
    Release(at);
    Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    Release(at);
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&memo, static_cast<Qt::Key>(key), mods);
  }
  // Presses each key of a blank-separated list of Qt key names ("Ctrl+K B Shift+Down").
  void Keys(const QString& names) {
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) {
      const QKeyCombination k = QKeySequence(name)[0];
      Key(k.key(), k.keyboardModifiers());
    }
  }

  // Types characters the way a keyboard of any layout delivers them.
  void Type(const QString& text) {
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }

  QImage Picture() { return memo.viewport()->grab().toImage(); }

  TMemoSource source;
  TCodeMemo memo;

private:
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers mods) {
    QWidget* vp = memo.viewport();
    QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), button, buttons, mods);
    QApplication::sendEvent(vp, &e);
  }
};

} // namespace marlo::test
