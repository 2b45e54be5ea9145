#pragma once
// The font table of an RTF document: distinct font names in order of first use, each
// with the character set it was first used with. A font's index is its place in the list.
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TWriterFontObject {
public:
  struct TEntry {
    std::string Name;
    int CharSet;
  };

  // Starts with the preset entry 0 that RTF readers fall back to.
  TWriterFontObject();

  // The index of `name`, added with `charSet` when it is new. Font names are compared
  // without regard to case, as the platform's font lookup does.
  int IndexOf(std::string_view name, int charSet);
  int Count() const { return static_cast<int>(entries_.size()); }
  const TEntry& operator[](int index) const { return entries_.at(static_cast<size_t>(index)); }
  // "{\fonttbl" with one line per font, or nothing when the list is empty.
  void AppendTable(std::string& out) const;

private:
  std::vector<TEntry> entries_;
  int last_ = -1; // runs mostly repeat the font before
};

} // namespace marlo
