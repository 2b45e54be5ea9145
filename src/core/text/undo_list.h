#pragma once
#include "core/text/text_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace marlo {

// What undoing a record does.
enum TUndoAction : uint8_t {
  uaCaretMove = 0, // moves the caret by (-Value1, -Value2)
  uaInsert = 1,    // deletes Value1 characters at the caret
  uaSplit = 2,     // joins the caret line with the next
  uaJoin = 3,      // splits the caret line at the caret
  uaDelete = 4,    // inserts Text (with Styles) at the caret
  uaStyle = 5,     // puts the style bytes Styles back at line Value1, position Value2
};

struct TUndoRecord {
  TUndoAction Action = uaCaretMove;
  int32_t Value1 = 0;
  int32_t Value2 = 0;
  std::string Text;
  std::string Styles;
  bool FirstOfChange = false;
  TChangeKind ChangeKind = TChangeKind::None;
  bool InGroup = false;

  // Caret moves and style changes leave the text as it was.
  bool ChangesText() const { return Action != uaCaretMove && Action != uaStyle; }
};

class TUndoList {
public:
  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  TUndoRecord& operator[](int i) { return records_[static_cast<size_t>(i)]; }
  const TUndoRecord& operator[](int i) const { return records_[static_cast<size_t>(i)]; }
  TUndoRecord& Last() { return records_.back(); }

  TUndoRecord& Push() {
    records_.emplace_back();
    return records_.back();
  }
  void Pop() {
    records_.pop_back();
    if (records_.capacity() > 64 && records_.size() * 4 < records_.capacity()) records_.shrink_to_fit();
  }
  void Clear() {
    records_.clear();
    records_.shrink_to_fit();
  }
  void RemoveFirst(int n) { records_.erase(records_.begin(), records_.begin() + n); }

private:
  std::vector<TUndoRecord> records_;
};

} // namespace marlo
