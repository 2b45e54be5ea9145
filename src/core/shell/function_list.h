#pragma once
// The function headers and labels of a document, as the pop-up lists show them.
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TCustomMemoSource;

struct TListEntry {
  std::string Name;
  int Line = 0; // 0-based: where a choice of the entry jumps
  // "name   [n]" with the 1-based line.
  std::string Text() const;
};

// Lines whose trimmed text starts with `keyword` (the language's word that begins a
// function header; FUNCTION when empty) without regard to case; the name is what follows
// it up to a ":", trimmed, parameters and all.
std::vector<TListEntry> ScanFunctions(const TCustomMemoSource& source, std::string_view keyword);

// Lines that hold only a label: letters, digits and "_" ended by a ":", blanks around.
std::vector<TListEntry> ScanLabels(const TCustomMemoSource& source);

} // namespace marlo
