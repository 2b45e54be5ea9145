#pragma once
// Key names as people write them ("Ctrl+K", "Shift+Alt+Down", "F3", "[") and the
// character a key types when no binding takes it.
#include "core/text/key_list.h"

#include <string>
#include <string_view>

namespace marlo {

struct TKeyStroke {
  TKeyCode Key = vkNone;
  TShiftState Shift;
  bool operator==(const TKeyStroke&) const = default;
};

// Parses modifiers (Ctrl+, Shift+, Alt+ in any order) and one key name, ignoring case.
// Raises marlo::Error for an unknown name, a repeated modifier or a missing key.
TKeyStroke ParseKeyName(std::string_view text);

// The canonical name: modifiers in the order Shift, Alt, Ctrl, then the key.
std::string KeyName(TKeyCode key, TShiftState shift);

// The character a key press types (US layout), or false when it types none: only
// letters, digits, space and "[" do, and nothing with Ctrl or Alt held.
bool KeyToChar(TKeyCode key, TShiftState shift, char& c);

} // namespace marlo
