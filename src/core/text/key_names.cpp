#include "core/text/key_names.h"

#include "core/ascii.h"
#include "core/error.h"

#include <array>
#include <utility>

namespace marlo {

namespace {

std::string Upper(std::string_view text) {
  return UpperAsciiText(text);
}

// Names of the keys other than letters, digits and function keys; the first name of a
// key is the one KeyName writes.
const std::array<std::pair<const char*, TKeyCode>, 22> kNamedKeys = {{
    {"Enter", vkEnter},   {"Tab", vkTab},       {"Backspace", vkBackspace},
    {"Del", vkDelete},    {"Ins", vkInsert},    {"Home", vkHome},
    {"End", vkEnd},       {"PgUp", vkPageUp},   {"PgDn", vkPageDown},
    {"Up", vkUp},         {"Down", vkDown},     {"Left", vkLeft},
    {"Right", vkRight},   {"Esc", vkEscape},    {"Space", vkSpace},
    {"[", vkOpenBracket}, {"Return", vkEnter},  {"Delete", vkDelete},
    {"Insert", vkInsert}, {"PageUp", vkPageUp}, {"PageDown", vkPageDown},
    {"Escape", vkEscape},
}};

bool ParseKey(const std::string& upper, TKeyCode& key) {
  if (upper.size() == 1) {
    char c = upper[0];
    if (c >= 'A' && c <= 'Z') {
      key = static_cast<TKeyCode>(vkA + (c - 'A'));
      return true;
    }
    if (c >= '0' && c <= '9') {
      key = static_cast<TKeyCode>(vk0 + (c - '0'));
      return true;
    }
  }
  if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' && upper[1] >= '1' &&
      upper[1] <= '9') {
    int n = upper[1] - '0';
    if (upper.size() == 3) {
      if (upper[2] < '0' || upper[2] > '9') return false;
      n = n * 10 + (upper[2] - '0');
    }
    if (n > 12) return false;
    key = static_cast<TKeyCode>(vkF1 + n - 1);
    return true;
  }
  for (const auto& [name, code] : kNamedKeys) {
    if (Upper(name) == upper) {
      key = code;
      return true;
    }
  }
  return false;
}

} // namespace

TKeyStroke ParseKeyName(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '"').append(text).append(1, '"');
  TKeyStroke stroke;
  std::string_view rest = text;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string_view::npos) break;
    std::string modifier = Upper(rest.substr(0, plus));
    TShiftStateItem item;
    if (modifier == "CTRL")
      item = ssCtrl;
    else if (modifier == "SHIFT")
      item = ssShift;
    else if (modifier == "ALT")
      item = ssAlt;
    else
      throw Error("Unknown key " + quoted + ": \"" + std::string(rest.substr(0, plus)) +
                  "\" is not Ctrl, Shift or Alt");
    if (stroke.Shift.Has(item)) throw Error("Unknown key " + quoted + ": repeated modifier");
    stroke.Shift.Include(item);
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) throw Error("Unknown key " + quoted + ": no key after the modifiers");
  if (!ParseKey(Upper(rest), stroke.Key)) throw Error("Unknown key " + quoted);
  return stroke;
}

std::string KeyName(TKeyCode key, TShiftState shift) {
  std::string name;
  if (shift.Has(ssShift)) name += "Shift+";
  if (shift.Has(ssAlt)) name += "Alt+";
  if (shift.Has(ssCtrl)) name += "Ctrl+";
  if ((key >= vkA && key <= vkZ) || (key >= vk0 && key <= vk9))
    return name + static_cast<char>(key);
  if (key >= vkF1 && key <= vkF12) return name + "F" + std::to_string(key - vkF1 + 1);
  for (const auto& [text, code] : kNamedKeys)
    if (code == key) return name + text;
  return name + "#" + std::to_string(static_cast<int>(key));
}

bool KeyToChar(TKeyCode key, TShiftState shift, char& c) {
  if (shift.Has(ssCtrl) || shift.Has(ssAlt)) return false;
  bool shifted = shift.Has(ssShift);
  if (key >= vkA && key <= vkZ) {
    c = static_cast<char>((shifted ? 'A' : 'a') + (key - vkA));
    return true;
  }
  if (key >= vk0 && key <= vk9) {
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    c = shifted ? kShiftedDigits[key - vk0] : static_cast<char>(key);
    return true;
  }
  if (key == vkSpace) {
    c = ' ';
    return true;
  }
  if (key == vkOpenBracket) {
    c = shifted ? '{' : '[';
    return true;
  }
  return false;
}

} // namespace marlo
