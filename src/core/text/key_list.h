#pragma once
// The key binding table of the editor: which key, with which shift state, runs which
// command of the text model. Key codes and shift states are our own, so that the core
// carries no toolkit; the UI maps its key events onto them.
#include "core/text/text_types.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace marlo {

class TCustomMemoSource;
class TKeyView;

// Virtual key codes in the classic desktop numbering.
enum TKeyCode : uint16_t {
  vkNone = 0,
  vkBackspace = 8,
  vkTab = 9,
  vkEnter = 13,
  vkShift = 16,
  vkControl = 17,
  vkAlt = 18,
  vkEscape = 27,
  vkSpace = 32,
  vkPageUp = 33,
  vkPageDown = 34,
  vkEnd = 35,
  vkHome = 36,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
  vkInsert = 45,
  vkDelete = 46,
  // clang-format off
  vk0 = 48, vk1, vk2, vk3, vk4, vk5, vk6, vk7, vk8, vk9,
  vkA = 65, vkB, vkC, vkD, vkE, vkF, vkG, vkH, vkI, vkJ, vkK, vkL, vkM,
  vkN, vkO, vkP, vkQ, vkR, vkS, vkT, vkU, vkV, vkW, vkX, vkY, vkZ,
  vkF1 = 112, vkF2, vkF3, vkF4, vkF5, vkF6, vkF7, vkF8, vkF9, vkF10, vkF11, vkF12,
  // clang-format on
  vkOpenBracket = 219,
};

enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl };
using TShiftState = EnumSet<TShiftStateItem>;

using TKeyCommand = std::function<void(TCustomMemoSource&, TKeyView&)>;

// Prefix numbers of the two-key commands.
inline constexpr int kPrefixCtrlK = 1;
inline constexpr int kPrefixCtrlQ = 2;
inline constexpr int kPrefixCtrlO = 5;

struct TKeyBinding {
  TKeyCode Key = vkNone;
  TShiftState Shift;
  int Prefix = 0;     // the pending prefix this binding answers to; 0 for a first key
  int SetsPrefix = 0; // not 0: the key starts a two-key command and runs nothing
  TKeyCommand Command;
  bool Repeat = false; // the command repeats while the key is held
};

class TKeyList {
public:
  // Single-key binding. A later binding of the same key and shift state replaces it.
  void Add(TKeyCode key, TShiftState shift, TKeyCommand command, bool repeat = false);
  // A key that makes `prefix` pending for the next key.
  void AddPrefix(TKeyCode key, TShiftState shift, int prefix);
  // The second key of a two-key command.
  void AddTwoKey(int prefix, TKeyCode key, TShiftState shift, TKeyCommand command);

  const TKeyBinding* Find(int prefix, TKeyCode key, TShiftState shift) const;
  int Count() const { return static_cast<int>(bindings_.size()); }
  const std::vector<TKeyBinding>& Bindings() const { return bindings_; }

  // Runs the binding of a key press. False when the key has no binding: the caller then
  // treats it as a typed character. A pending prefix is consumed by the next key whether
  // or not that key completes a binding, so Esc (or any unbound key) cancels it. The
  // modifier keys themselves are ignored, so that pressing Shift between the two keys
  // of a pair does not cancel it.
  bool Execute(TKeyCode key, TShiftState shift, TCustomMemoSource& source, TKeyView& view);

  int PendingPrefix() const { return pending_; }
  void CancelPrefix() { pending_ = 0; }

  // The table named by a control's key mapping; only "Default" exists (any case).
  // Raises marlo::Error for another name.
  static TKeyList ForMapping(std::string_view name);
  static TKeyList Default();

private:
  static uint32_t Slot(int prefix, TKeyCode key, TShiftState shift);
  void Put(TKeyBinding binding);

  std::vector<TKeyBinding> bindings_;
  std::unordered_map<uint32_t, size_t> index_;
  int pending_ = 0;
};

} // namespace marlo
