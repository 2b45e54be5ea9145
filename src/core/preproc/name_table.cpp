#include "core/preproc/name_table.h"

#include "core/preproc/preproc_text.h"

namespace marlo::preproc {

void TNameTable::Clear() {
  names_.clear();
  slots_.clear();
  for (uint64_t& word : shapes_) word = 0;
  hasEmpty_ = false;
}

int TNameTable::Lookup(std::string_view name) const {
  const uint64_t key = Key(name);
  const size_t mask = slots_.size() - 1;
  for (size_t i = Hash(key, name.size()) & mask;; i = (i + 1) & mask) {
    const TSlot& slot = slots_[i];
    if (slot.Index == kNone) return kNone;
    if (slot.Key == key && slot.Length == name.size() &&
        (name.size() <= 8 || EqualsNoCase(names_[static_cast<size_t>(slot.Index)], name)))
      return slot.Index;
  }
}

// Puts entry `entry` into the index, unless an earlier equal name shadows it: shadowed
// duplicates never answer a lookup.
void TNameTable::Index(int entry) {
  const std::string_view name = names_[static_cast<size_t>(entry)];
  if (Find(name) != kNone) return;
  const uint64_t key = Key(name);
  const size_t mask = slots_.size() - 1;
  size_t i = Hash(key, name.size()) & mask;
  while (slots_[i].Index != kNone) i = (i + 1) & mask;
  slots_[i] = TSlot{key, name.size(), entry};
}

void TNameTable::Grow() {
  slots_.assign(slots_.empty() ? 16 : slots_.size() * 2, TSlot{0, 0, kNone});
  for (size_t n = 0; n < names_.size(); ++n) Index(static_cast<int>(n));
}

int TNameTable::Add(std::string_view name) {
  const int index = Count();
  names_.emplace_back(name);
  if (name.empty()) {
    hasEmpty_ = true;
  } else {
    const size_t bit = ShapeBit(name);
    shapes_[bit / 64] |= uint64_t{1} << (bit % 64);
  }
  if ((names_.size() + 1) * 2 > slots_.size()) {
    Grow(); // indexes every name, the new one included
  } else {
    Index(index);
  }
  return index;
}

} // namespace marlo::preproc
