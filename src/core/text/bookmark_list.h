#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace marlo {

struct TBookmark {
  int32_t X;
  int32_t Y;
  int32_t Number;
};

// Numbered bookmarks kept sorted by line, column and number; a number occurs once.
class TMemoBookMarkList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  const TBookmark& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  const std::vector<TBookmark>& Items() const { return items_; }

  void Add(const TBookmark& b);
  // Removes the bookmark with this number; returns its line, or -1 when none.
  int RemoveNumber(int number);
  const TBookmark* FindNumber(int number) const;
  // Index of the first bookmark on `line` or after it.
  int FirstOnOrAfter(int line) const;
  void Clear() { items_.clear(); }

  // Lets an edit move bookmarks; the list is sorted again afterwards.
  template <typename F> void Adjust(int fromLine, F&& f) {
    bool changed = false;
    for (size_t i = static_cast<size_t>(FirstOnOrAfter(fromLine)); i < items_.size(); ++i)
      changed |= f(items_[i]);
    if (changed) Sort();
  }

private:
  void Sort();
  std::vector<TBookmark> items_;
};

} // namespace marlo
