#pragma once
// A table of names that compare without regard to ASCII letter case, in declaration order,
// with hashed lookup so that sources with hundreds of names stay linear in their length.
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
  int Find(std::string_view name) const;
  // Appends `name` and returns its index. A name already present keeps its first entry
  // for lookups, as a scan from the first entry would.
  int Add(std::string_view name);

private:
  static uint64_t Hash(std::string_view name);
  void Grow();

  std::vector<std::string> names_;
  std::vector<int32_t> slots_; // index into names_, or kNone; size is a power of two
};

} // namespace marlo::preproc
