#include "core/text/key_list.h"

#include "core/ascii.h"
#include "core/error.h"

#include <string>

namespace marlo {

uint32_t TKeyList::Slot(int prefix, TKeyCode key, TShiftState shift) {
  return (static_cast<uint32_t>(prefix & 0xff) << 24) | ((shift.Bits() & 0xff) << 16) |
         static_cast<uint32_t>(key);
}

void TKeyList::Put(TKeyBinding binding) {
  uint32_t slot = Slot(binding.Prefix, binding.Key, binding.Shift);
  auto it = index_.find(slot);
  if (it != index_.end()) {
    bindings_[it->second] = std::move(binding);
    return;
  }
  index_.emplace(slot, bindings_.size());
  bindings_.push_back(std::move(binding));
}

void TKeyList::Add(TKeyCode key, TShiftState shift, TKeyCommand command, bool repeat) {
  Put({key, shift, 0, 0, std::move(command), repeat});
}

void TKeyList::AddPrefix(TKeyCode key, TShiftState shift, int prefix) {
  Put({key, shift, 0, prefix, nullptr, false});
}

void TKeyList::AddTwoKey(int prefix, TKeyCode key, TShiftState shift, TKeyCommand command) {
  Put({key, shift, prefix, 0, std::move(command), false});
}

const TKeyBinding* TKeyList::Find(int prefix, TKeyCode key, TShiftState shift) const {
  auto it = index_.find(Slot(prefix, key, shift));
  return it == index_.end() ? nullptr : &bindings_[it->second];
}

bool TKeyList::Execute(TKeyCode key, TShiftState shift, TCustomMemoSource& source, TKeyView& view) {
  if (key == vkShift || key == vkControl || key == vkAlt) return false;
  int prefix = pending_;
  pending_ = 0;
  const TKeyBinding* binding = Find(prefix, key, shift);
  if (!binding) return false;
  if (binding->SetsPrefix != 0) {
    pending_ = binding->SetsPrefix;
    return true;
  }
  if (binding->Command) binding->Command(source, view);
  return true;
}

TKeyList TKeyList::ForMapping(std::string_view name) {
  if (EqualsNoCase(name, "DEFAULT")) return Default();
  throw Error("Unknown key mapping \"" + std::string(name) + "\"");
}

} // namespace marlo
