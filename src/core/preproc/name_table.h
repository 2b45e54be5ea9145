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
  // A slot of the index: a name's first eight bytes upper-cased and packed, its length and
  // its entry. Most names fit the key, so a lookup compares two numbers.
  struct TSlot {
    uint64_t Key;
    uint64_t Length;
    int32_t Index; // into names_, or kNone
  };

  int Lookup(std::string_view name) const;
  static uint64_t Key(std::string_view name) {
    uint64_t key = 0;
    const size_t n = name.size() < 8 ? name.size() : 8;
    for (size_t i = 0; i < n; ++i)
      key |= static_cast<uint64_t>(static_cast<unsigned char>(UpperAscii(name[i]))) << (8 * i);
    return key;
  }
  static size_t Hash(uint64_t key, size_t length) {
    uint64_t h = (key ^ (length * 0x9E3779B97F4A7C15ULL)) * 0xD6E8FEB86659FD93ULL;
    return static_cast<size_t>(h ^ (h >> 32));
  }
  void Index(int entry);
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
  std::vector<TSlot> slots_; // size is a power of two
  uint64_t shapes_[256 * 32 / 64] = {};
  bool hasEmpty_ = false;
};

} // namespace marlo::preproc
