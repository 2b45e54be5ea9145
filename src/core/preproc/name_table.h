#pragma once
// A table of names that compare without regard to ASCII letter case, in declaration order,
// with hashed lookup so that sources with hundreds of names stay linear in their length.
#include "core/preproc/preproc_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TNameTable {
public:
  static constexpr int kNone = -1;

  void Clear();
  int Count() const { return static_cast<int>(names_.size()); }
  const std::string& Name(int index) const { return names_[static_cast<size_t>(index)]; }
  // The index of the first name equal to `name` in any case, or kNone.
  int Find(std::string_view name) const {
    return slots_.empty() || !MayHold(name) ? kNone : Lookup(name);
  }
  // Appends `name` and returns its index. A name already present keeps its first entry
  // for lookups, as a scan from the first entry would.
  int Add(std::string_view name);

private:
  int Lookup(std::string_view name) const;
  static uint64_t Hash(std::string_view name);
  void Grow();
  // Which (upper-cased first character, length) pairs the names have; most words of a
  // source match none, and are turned away before hashing.
  static size_t ShapeBit(std::string_view name) {
    const size_t length = name.size() < 31 ? name.size() : 31;
    return static_cast<size_t>(static_cast<unsigned char>(UpperAscii(name[0]))) * 32 + length;
  }
  bool MayHold(std::string_view name) const {
    if (name.empty()) return hasEmpty_;
    const size_t bit = ShapeBit(name);
    return (shapes_[bit / 64] >> (bit % 64)) & 1;
  }

  std::vector<std::string> names_;
  std::vector<int32_t> slots_; // index into names_, or kNone; size is a power of two
  uint64_t shapes_[256 * 32 / 64] = {};
  bool hasEmpty_ = false;
};

} // namespace marlo::preproc
