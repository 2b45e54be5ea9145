#pragma once
// The current selection presented as a read-only list of strings.
#include <string>

namespace marlo {

class TCustomMemoSource;

class TSelectionStrings {
public:
  explicit TSelectionStrings(TCustomMemoSource& source) : source_(source) {}

  int Count() const;
  // Item k: the selected part of line (begin line + k), tab-expanded; a column selection's
  // items are padded with spaces to its width.
  std::string Get(int k) const;
  // The items joined by CR LF, no line break after the last.
  std::string Text() const;
  void Clear(); // deletes the selection
  void Insert(int, const std::string&) {}
  void Delete(int) {}
  void Exchange(int, int) {}

private:
  TCustomMemoSource& source_;
};

} // namespace marlo
