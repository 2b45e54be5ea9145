#pragma once
// Keys and the mouse of the editor control: Qt key events become key codes of the key
// table, unbound keys type characters through the code page; the left button places the
// caret, selects, drags the selection and scrolls while the pointer is outside.
#include "core/text/key_list.h"
#include "core/text/text_types.h"

#include <QPoint>
#include <QTimer>

class QKeyEvent;
class QMouseEvent;

namespace marlo {

class TCustomCodeMemo;

class TMemoInput {
public:
  static constexpr int kAutoScrollMs = 30;

  explicit TMemoInput(TCustomCodeMemo& memo);

  void SetKeyList(TKeyList keys) { keys_ = std::move(keys); }
  TKeyList& Keys() { return keys_; }

  // The key code and shift state of a Qt key press; false for keys the table cannot name.
  static bool MapKey(const QKeyEvent& e, TKeyCode& key, TShiftState& shift);

  void KeyPress(QKeyEvent* e);
  // Whether the control takes a key before the window's short-cuts see it.
  bool WantsShortcutKey(QKeyEvent* e);
  void TypeText(const QString& text);

  void MousePress(QMouseEvent* e);
  void MouseMove(QMouseEvent* e);
  void MouseRelease(QMouseEvent* e);
  void MouseDoubleClick(QMouseEvent* e);
  void RightPress(QMouseEvent* e);
  // Ends a selection or drag of the mouse; the pending key prefix goes too.
  void FocusLost();
  void EndMouseAction();

  bool Dragging() const { return mode_ == Mode::Dragging; }
  TPoint DropPosition() const { return drop_; }

private:
  enum class Mode { None, Selecting, DragPending, Dragging };

  // The text position under a point; `partlyShown` lets a press reach a line or column
  // that is only partly in view.
  TPoint PositionAt(QPoint p, bool partlyShown = false) const;
  // Whether a held key with Shift repeats because its key without it does.
  bool SelectingFormRepeats(const TKeyBinding& b) const;
  void ExtendTo(QPoint p);
  void AutoScroll();
  void Drop(bool copy);
  void SetDrop(TPoint at);

  TCustomCodeMemo& memo_;
  TKeyList keys_;
  Mode mode_ = Mode::None;
  TSelectionType selectKind_ = TSelectionType::Stream;
  QPoint pressAt_;
  QPoint pointer_;
  TPoint drop_;
  QTimer scrollTimer_;
};

} // namespace marlo
