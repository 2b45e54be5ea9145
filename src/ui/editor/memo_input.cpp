#include "ui/editor/memo_input.h"

#include "core/shell/document_keys.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/editor/memo_commands.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace marlo {

namespace {

// The digit of a shifted digit key on the common layout, or -1.
int ShiftedDigit(int key) {
  switch (key) {
  case Qt::Key_ParenRight:
    return 0;
  case Qt::Key_Exclam:
    return 1;
  case Qt::Key_At:
    return 2;
  case Qt::Key_NumberSign:
    return 3;
  case Qt::Key_Dollar:
    return 4;
  case Qt::Key_Percent:
    return 5;
  case Qt::Key_AsciiCircum:
    return 6;
  case Qt::Key_Ampersand:
    return 7;
  case Qt::Key_Asterisk:
    return 8;
  case Qt::Key_ParenLeft:
    return 9;
  default:
    return -1;
  }
}

// Held keys repeat the commands the table marks so, and the editing keys: holding
// Backspace or Delete is how a user removes a stretch of text.
bool Repeats(const TKeyBinding& b) {
  if (b.Repeat) return true;
  if (b.SetsPrefix != 0 || b.Prefix != 0) return false;
  return b.Key == vkBackspace || b.Key == vkDelete || b.Key == vkEnter || b.Key == vkTab;
}

} // namespace

TMemoInput::TMemoInput(TCustomCodeMemo& memo) : memo_(memo) {
  scrollTimer_.setInterval(kAutoScrollMs);
  QObject::connect(&scrollTimer_, &QTimer::timeout, [this] { AutoScroll(); });
}

bool TMemoInput::SelectingFormRepeats(const TKeyBinding& b) const {
  // Shift (and Shift+Alt) extend a selection with the plain key's move; holding them
  // grows the selection as holding the plain key moves the caret.
  if (b.Prefix != 0 || b.SetsPrefix != 0 || !b.Shift.Has(ssShift)) return false;
  TShiftState plain = b.Shift;
  plain.Exclude(ssShift).Exclude(ssAlt);
  const TKeyBinding* move = keys_.Find(0, b.Key, plain);
  return move && move->SetsPrefix == 0 && move->Repeat;
}

bool TMemoInput::MapKey(const QKeyEvent& e, TKeyCode& key, TShiftState& shift) {
  const Qt::KeyboardModifiers mods = e.modifiers();
  shift = {};
  if (mods & Qt::ShiftModifier) shift.Include(ssShift);
  if (mods & Qt::ControlModifier) shift.Include(ssCtrl);
  if (mods & Qt::AltModifier) shift.Include(ssAlt);
  const int k = e.key();
  key = vkNone;
  switch (k) {
  case Qt::Key_Backspace:
    key = vkBackspace;
    break;
  case Qt::Key_Tab:
    key = vkTab;
    break;
  case Qt::Key_Backtab:
    key = vkTab;
    shift.Include(ssShift);
    break;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    key = vkEnter;
    break;
  case Qt::Key_Escape:
    key = vkEscape;
    break;
  case Qt::Key_Space:
    key = vkSpace;
    break;
  case Qt::Key_PageUp:
    key = vkPageUp;
    break;
  case Qt::Key_PageDown:
    key = vkPageDown;
    break;
  case Qt::Key_End:
    key = vkEnd;
    break;
  case Qt::Key_Home:
    key = vkHome;
    break;
  case Qt::Key_Left:
    key = vkLeft;
    break;
  case Qt::Key_Up:
    key = vkUp;
    break;
  case Qt::Key_Right:
    key = vkRight;
    break;
  case Qt::Key_Down:
    key = vkDown;
    break;
  case Qt::Key_Insert:
    key = vkInsert;
    break;
  case Qt::Key_Delete:
    key = vkDelete;
    break;
  case Qt::Key_Shift:
    key = vkShift;
    break;
  case Qt::Key_Control:
    key = vkControl;
    break;
  case Qt::Key_Alt:
    key = vkAlt;
    break;
  case Qt::Key_BracketLeft:
  case Qt::Key_BraceLeft:
    key = vkOpenBracket;
    break;
  default:
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
      key = static_cast<TKeyCode>(vk0 + (k - Qt::Key_0));
    else if (k >= Qt::Key_A && k <= Qt::Key_Z)
      key = static_cast<TKeyCode>(vkA + (k - Qt::Key_A));
    else if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
      key = static_cast<TKeyCode>(vkF1 + (k - Qt::Key_F1));
    else if (int d = ShiftedDigit(k); d >= 0 && shift.Has(ssShift))
      key = static_cast<TKeyCode>(vk0 + d);
    break;
  }
  // The digit row by its place on the keyboard, whatever the layout prints on it, so
  // that Shift+Ctrl+digit sets a bookmark everywhere.
  if (shift.Has(ssCtrl) && QGuiApplication::platformName() == QLatin1String("xcb")) {
    const quint32 code = e.nativeScanCode();
    if (code >= 10 && code <= 19)
      key = static_cast<TKeyCode>(code == 19 ? int(vk0) : int(vk1) + int(code - 10));
  }
  return key != vkNone;
}

void TMemoInput::KeyPress(QKeyEvent* e) {
  TKeyCode key = vkNone;
  TShiftState shift;
  if (MapKey(*e, key, shift)) {
    const TKeyBinding* binding = keys_.Find(keys_.PendingPrefix(), key, shift);
    if (binding && e->isAutoRepeat() && !Repeats(*binding) && !SelectingFormRepeats(*binding)) {
      e->accept();
      return;
    }
  }
  TEditorKeyResult result = TEditorKeyResult::Used;
  memo_.RunCommand(
      [&] { result = RunEditorKey(keys_, key, shift, memo_.MemoSource(), *memo_.commands_); });
  if (result == TEditorKeyResult::Used) {
    e->accept();
    return;
  }
  if (result == TEditorKeyResult::Ignored || e->text().isEmpty()) {
    e->ignore();
    return;
  }
  TypeText(e->text());
  e->accept();
}

void TMemoInput::TypeText(const QString& text) {
  const platform::TCodePage& page = memo_.CodePage();
  for (QChar ch : text) {
    if (ch.unicode() < 32 || ch.unicode() == 127) continue;
    unsigned char byte = 0;
    // A character the code page cannot hold is not typed at all.
    if (!page.FromUnicode(ch.unicode(), byte)) continue;
    memo_.RunCommand([&] { memo_.MemoSource().TypeChar(static_cast<char>(byte)); });
  }
}

bool TMemoInput::WantsShortcutKey(QKeyEvent* e) {
  TKeyCode key = vkNone;
  TShiftState shift;
  if (!MapKey(*e, key, shift)) return false;
  return keys_.Find(keys_.PendingPrefix(), key, shift) != nullptr || keys_.PendingPrefix() != 0;
}

TPoint TMemoInput::PositionAt(QPoint p, bool partlyShown) const {
  const TMemoGeometry& g = memo_.geometry_;
  // While the button is held, the position stays on the last whole line and column; the
  // timer does the scrolling. A press on a partly shown line or column means that one.
  const int lastRow =
      partlyShown ? g.LastVisibleLine() : g.FirstLine + std::max(0, g.PageLines() - 1);
  int line = std::clamp(g.LineAt(p.y()), g.FirstLine, lastRow);
  int column = std::max(g.ColumnAt(p.x()), g.FirstColumn);
  if (!partlyShown) column = std::min(column, g.FirstColumn + g.VisibleColumns());
  line = std::min(line, std::max(0, memo_.MemoSource().LineCount() - 1));
  return {column, line};
}

void TMemoInput::MousePress(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const TMemoGeometry& g = memo_.geometry_;
  memo_.setFocus(Qt::MouseFocusReason);
  if (g.InGutter(p.x())) {
    emit memo_.gutterClicked(g.LineAt(p.y()), e->button());
    return;
  }
  if (e->button() == Qt::RightButton) {
    RightPress(e);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  TCustomMemoSource& s = memo_.MemoSource();
  const TPoint at = PositionAt(p, true);
  pressAt_ = pointer_ = p;
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (mods & Qt::ShiftModifier) {
    selectKind_ = (mods & Qt::AltModifier) ? TSelectionType::Column : TSelectionType::Stream;
    memo_.RunCommand([&] { s.SelectMove(selectKind_, [&] { s.SetCaret(at.X, at.Y); }); });
    mode_ = Mode::Selecting;
    return;
  }
  const int under = std::max(0, g.FirstColumn + (p.x() - g.TextLeft) / g.CharWidth);
  if (s.HasSelection() && s.IsInSelection(under, at.Y) && !memo_.Has(moDisableDrag) &&
      !s.ReadOnly()) {
    mode_ = Mode::DragPending;
    drop_ = at;
    return;
  }
  selectKind_ = (mods & Qt::AltModifier) ? TSelectionType::Column : TSelectionType::Stream;
  memo_.RunCommand([&] {
    ChangeScope change(s, TChangeKind::CaretMove);
    s.ClearSelection();
    s.SetCaret(at.X, at.Y);
  });
  mode_ = Mode::Selecting;
}

void TMemoInput::RightPress(QMouseEvent* e) {
  TCustomMemoSource& s = memo_.MemoSource();
  const TPoint at = PositionAt(e->position().toPoint(), true);
  // The caret follows the right button, except into a selection the menu will act on.
  if (memo_.Has(moDisableRightClickMove) || s.IsInSelection(at.X, at.Y)) return;
  memo_.RunCommand([&] {
    ChangeScope change(s, TChangeKind::CaretMove);
    s.ClearSelection();
    s.SetCaret(at.X, at.Y);
  });
}

void TMemoInput::ExtendTo(QPoint p) {
  TCustomMemoSource& s = memo_.MemoSource();
  const TPoint at = PositionAt(p);
  if (at == s.Caret() && s.HasSelection()) return;
  memo_.RunCommand([&] { s.SelectMove(selectKind_, [&] { s.SetCaret(at.X, at.Y); }); });
}

void TMemoInput::MouseMove(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return;
  pointer_ = e->position().toPoint();
  switch (mode_) {
  case Mode::None:
    return;
  case Mode::Selecting:
    ExtendTo(pointer_);
    break;
  case Mode::DragPending:
    if ((pointer_ - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
    mode_ = Mode::Dragging;
    memo_.viewport()->setCursor(Qt::DragMoveCursor);
    SetDrop(PositionAt(pointer_));
    break;
  case Mode::Dragging:
    memo_.viewport()->setCursor((e->modifiers() & Qt::ControlModifier) ? Qt::DragCopyCursor
                                                                       : Qt::DragMoveCursor);
    SetDrop(PositionAt(pointer_));
    break;
  }
  const TMemoGeometry& g = memo_.geometry_;
  const bool outside = pointer_.y() < 0 || pointer_.y() >= g.PageLines() * g.LineHeight ||
                       pointer_.x() < g.TextLeft || pointer_.x() >= g.Width;
  if (outside && !scrollTimer_.isActive())
    scrollTimer_.start();
  else if (!outside)
    scrollTimer_.stop();
}

void TMemoInput::AutoScroll() {
  if (mode_ != Mode::Selecting && mode_ != Mode::Dragging) {
    scrollTimer_.stop();
    return;
  }
  const TMemoGeometry& g = memo_.geometry_;
  const int dy = pointer_.y() < 0 ? -1 : pointer_.y() >= g.PageLines() * g.LineHeight ? 1 : 0;
  const int dx = pointer_.x() < g.TextLeft ? -1 : pointer_.x() >= g.Width ? 1 : 0;
  if (dx == 0 && dy == 0) {
    scrollTimer_.stop();
    return;
  }
  memo_.SetTopLeft(g.FirstLine + dy, g.FirstColumn + dx);
  if (mode_ == Mode::Selecting)
    ExtendTo(pointer_);
  else
    SetDrop(PositionAt(pointer_));
}

void TMemoInput::SetDrop(TPoint at) {
  if (at == drop_) return;
  memo_.RepaintLines(drop_.Y, drop_.Y);
  drop_ = at;
  memo_.RepaintLines(drop_.Y, drop_.Y);
}

void TMemoInput::MouseRelease(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const Mode mode = mode_;
  EndMouseAction();
  if (mode == Mode::Dragging) {
    Drop(e->modifiers() & Qt::ControlModifier);
  } else if (mode == Mode::DragPending) {
    // A click into the selection without a drag places the caret there.
    TCustomMemoSource& s = memo_.MemoSource();
    const TPoint at = PositionAt(pressAt_, true);
    memo_.RunCommand([&] {
      ChangeScope change(s, TChangeKind::CaretMove);
      s.ClearSelection();
      s.SetCaret(at.X, at.Y);
    });
  }
}

void TMemoInput::Drop(bool copy) {
  TCustomMemoSource& s = memo_.MemoSource();
  const TPoint at = drop_;
  if (!s.HasSelection() || s.IsInSelection(at.X, at.Y)) return;
  memo_.RunCommand([&] {
    UndoGroup group(s);
    ChangeScope change(s, copy ? TChangeKind::CopyBlock : TChangeKind::MoveBlock);
    s.SetCaret(at.X, at.Y);
    if (copy)
      s.CopySelectionToCaret();
    else
      s.MoveSelectionToCaret();
  });
}

void TMemoInput::MouseDoubleClick(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const TMemoGeometry& g = memo_.geometry_;
  if (g.InGutter(p.x())) {
    emit memo_.gutterClicked(g.LineAt(p.y()), e->button());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  EndMouseAction();
  TCustomMemoSource& s = memo_.MemoSource();
  // The word under the pointer: the character the pointer is on, not the nearest boundary.
  const int column = std::max(0, g.FirstColumn + (p.x() - g.TextLeft) / g.CharWidth);
  const TPoint at{column, PositionAt(p, true).Y};
  memo_.RunCommand([&] {
    ChangeScope change(s, TChangeKind::CaretMove);
    s.ClearSelection();
    s.SetCaret(at.X, at.Y);
    s.SelectWordAtCaret();
  });
}

void TMemoInput::FocusLost() {
  keys_.CancelPrefix();
  EndMouseAction();
}

void TMemoInput::EndMouseAction() {
  scrollTimer_.stop();
  if (mode_ == Mode::Dragging) {
    memo_.viewport()->setCursor(Qt::IBeamCursor);
    memo_.RepaintLines(drop_.Y, drop_.Y);
    memo_.RepaintCaret();
  }
  mode_ = Mode::None;
}

} // namespace marlo
