#pragma once
#include "core/text/text_types.h"

#include <cstddef>
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
  uaText = 6,      // puts every line back: Text holds their bytes one after another, Styles
                   // each one's length in four bytes
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
  // A caret move that only corrects the place where a replay left the caret (it was
  // clamped into the text); made and taken back in pairs, never by a command.
  bool Correction = false;

  // Caret moves and style changes leave the text as it was.
  bool ChangesText() const { return Action != uaCaretMove && Action != uaStyle; }
};

// The records of one history, oldest first. Kept in fixed-size chunks, so that growing
// never copies the records made so far, popping never shrinks by copying, and the chunks
// an undo frees are taken up again by the redo list it fills.
class TUndoList {
public:
  TUndoList() = default;
  ~TUndoList() { Clear(); }
  TUndoList(const TUndoList&) = delete;
  TUndoList& operator=(const TUndoList&) = delete;

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  TUndoRecord& operator[](int i) { return At(first_ + i); }
  const TUndoRecord& operator[](int i) const { return At(first_ + i); }
  TUndoRecord& Last() { return At(first_ + count_ - 1); }

  // A zeroed record at the end.
  TUndoRecord& Push();
  void Pop();
  void Clear();
  void RemoveFirst(int n);

private:
  static constexpr int kChunk = 512;
  struct Chunk {
    TUndoRecord Records[kChunk];
    size_t Slab = 0; // where the pool took it from
  };

  TUndoRecord& At(int slot) {
    return chunks_[static_cast<size_t>(slot / kChunk)]->Records[slot % kChunk];
  }
  const TUndoRecord& At(int slot) const {
    return chunks_[static_cast<size_t>(slot / kChunk)]->Records[slot % kChunk];
  }
  static Chunk* TakeChunk();
  static void GiveBack(Chunk* chunk);

  std::vector<Chunk*> chunks_;
  int first_ = 0; // slot of record 0 in the first chunk
  int count_ = 0;
};

} // namespace marlo
