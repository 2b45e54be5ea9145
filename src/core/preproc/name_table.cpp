#include "core/preproc/name_table.h"

#include "core/preproc/preproc_text.h"

namespace marlo::preproc {

void TNameTable::Clear() {
  names_.clear();
  slots_.clear();
  for (uint64_t& word : shapes_) word = 0;
  hasEmpty_ = false;
}

uint64_t TNameTable::Hash(std::string_view name) {
  uint64_t h = 1469598103934665603ULL; // FNV-1a over the upper-cased bytes
  for (char c : name) {
    h ^= static_cast<unsigned char>(UpperAscii(c));
    h *= 1099511628211ULL;
  }
  return h ^ (h >> 29);
}

int TNameTable::Lookup(std::string_view name) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
    const int32_t index = slots_[i];
    if (index == kNone) return kNone;
    if (EqualsNoCase(names_[static_cast<size_t>(index)], name)) return index;
  }
}

void TNameTable::Grow() {
  std::vector<int32_t> slots(slots_.empty() ? 16 : slots_.size() * 2, kNone);
  const size_t mask = slots.size() - 1;
  slots_.swap(slots);
  for (size_t n = 0; n < names_.size(); ++n) {
    // Shadowed duplicates never answer a lookup; leave them out of the index.
    if (Find(names_[n]) != kNone) continue;
    size_t i = Hash(names_[n]) & mask;
    while (slots_[i] != kNone) i = (i + 1) & mask;
    slots_[i] = static_cast<int32_t>(n);
  }
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
    return index;
  }
  if (Find(name) != kNone) return index;
  const size_t mask = slots_.size() - 1;
  size_t i = Hash(name) & mask;
  while (slots_[i] != kNone) i = (i + 1) & mask;
  slots_[i] = index;
  return index;
}

} // namespace marlo::preproc
