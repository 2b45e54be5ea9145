#pragma once
// The keys as a document window has them. The window looks at every key before its editor
// does: a run of Up and Down keeps the column where it began, even through shorter lines;
// Alt held lets the caret go past the end of a line (unless the setting always lets it);
// and, where the setting asks for it, Left at the start of a line goes to the end of the
// line above. The editor then runs the key's binding or types the key's character.
// The desktop window and `marlo-cli keys` both go through these rules.
#include "core/text/key_list.h"

namespace marlo {

class TCustomMemoSource;
class TKeyView;

// What the editor control does with a key that reaches it.
enum class TEditorKeyResult {
  Used,   // a binding ran, or the key ended a pending two-key command
  Type,   // no binding: the key types its character, if it has one
  Ignored // a Ctrl or Alt chord without a binding: the window's, not the text's
};
TEditorKeyResult RunEditorKey(TKeyList& keys, TKeyCode key, TShiftState shift,
                              TCustomMemoSource& source, TKeyView& view);

class TDocumentKeys {
public:
  explicit TDocumentKeys(TCustomMemoSource& source) : source_(source) {}

  // The settings "Past EOL" (the caret may always go past the end of a line) and "Left
  // Arrow Up".
  bool PastEOL = false;
  bool LeftArrowUp = false;

  // A key goes down, with the modifiers held before it. Returns true when the window
  // took the key (the caret moved; the view should bring it into sight) and the editor
  // must not see it.
  bool KeyDown(TKeyCode key, TShiftState shift);
  // A key comes up, with the modifiers held while it does.
  void KeyUp(TKeyCode key, TShiftState shift, bool autoRepeat);
  // A mouse button goes down on the text.
  void MousePress(bool altHeld);
  // The column a run of Up and Down keeps, or -1 outside a run.
  int DesiredColumn() const { return desiredColumn_; }

private:
  void ApplyAltRule(bool altHeld);

  TCustomMemoSource& source_;
  int desiredColumn_ = -1;
};

} // namespace marlo
