#include "core/shell/document_keys.h"

#include "core/text/memo_source.h"

namespace marlo {

namespace {

bool IsModifier(TKeyCode key) {
  return key == vkShift || key == vkControl || key == vkAlt;
}

} // namespace

TEditorKeyResult RunEditorKey(TKeyList& keys, TKeyCode key, TShiftState shift,
                              TCustomMemoSource& source, TKeyView& view) {
  if (key != vkNone) {
    const int prefix = keys.PendingPrefix();
    // The key after a prefix belongs to the prefix even when the pair means nothing.
    if (keys.Execute(key, shift, source, view) || (prefix != 0 && !IsModifier(key)))
      return TEditorKeyResult::Used;
  }
  // Ctrl and Alt chords that the table does not bind are the window's; Ctrl+Alt is how
  // some keyboards type their third-level characters.
  if (shift.Has(ssCtrl) != shift.Has(ssAlt)) return TEditorKeyResult::Ignored;
  return TEditorKeyResult::Type;
}

void TDocumentKeys::ApplyAltRule(bool altHeld) {
  // Setting the limit does not move the caret: a Shift+Down run through a short line keeps
  // its column and selection, and typing after an Alt+click goes where the caret was put.
  if (!PastEOL) source_.SetOption(soLimitEOL, !altHeld);
}

bool TDocumentKeys::KeyDown(TKeyCode key, TShiftState shift) {
  // The press of Alt itself does not carry Alt yet.
  ApplyAltRule(key == vkAlt || shift.Has(ssAlt));
  const bool plain = !shift.Has(ssShift) && !shift.Has(ssCtrl);
  TCustomMemoSource& s = source_;
  if (key == vkLeft && plain && LeftArrowUp && s.CaretX() == 0 && s.CaretY() > 0) {
    s.SetCaret(s.LineLength(s.CaretY() - 1), s.CaretY() - 1);
    desiredColumn_ = -1;
    return true;
  }
  // Ctrl+Up and Ctrl+Down scroll rather than move, so they are no part of a run.
  if ((key != vkUp && key != vkDown) || shift.Has(ssCtrl)) {
    desiredColumn_ = -1;
    return false;
  }
  if (shift.Has(ssShift)) {
    s.SetOption(soLimitEOL, false);
    return false;
  }
  if (desiredColumn_ < 0) {
    desiredColumn_ = s.CaretX();
    return false;
  }
  s.MoveCaret(key == vkUp ? -1 : 1, 0);
  s.SetCaretX(desiredColumn_);
  return true;
}

void TDocumentKeys::KeyUp(TKeyCode key, TShiftState shift, bool autoRepeat) {
  if (key == vkInsert && !autoRepeat) {
    // The caret is seated again after the mode change.
    source_.SetOption(soLimitEOL, false);
    source_.MoveCaretRight();
    source_.MoveCaretLeft();
  }
  // The release of Alt itself still carries Alt.
  ApplyAltRule(key != vkAlt && shift.Has(ssAlt));
}

void TDocumentKeys::MousePress(bool altHeld) {
  ApplyAltRule(altHeld);
  desiredColumn_ = -1;
}

} // namespace marlo
