#include "core/text/undo_list.h"

#include <new>

namespace marlo {

namespace {

// Chunks that lists gave back, kept for the next list that grows: an undo empties one
// list while it fills the other.
class ChunkPool {
public:
  ~ChunkPool() {
    for (void* c : spare_) ::operator delete(c);
  }
  void* Take() {
    if (spare_.empty()) return nullptr;
    void* c = spare_.back();
    spare_.pop_back();
    return c;
  }
  bool Keep(void* c) {
    if (spare_.size() >= kMaxSpare) return false;
    spare_.push_back(c);
    return true;
  }

private:
  static constexpr size_t kMaxSpare = 256;
  std::vector<void*> spare_;
};

ChunkPool& Pool() {
  static thread_local ChunkPool pool;
  return pool;
}

} // namespace

TUndoList::Chunk* TUndoList::TakeChunk() {
  void* raw = Pool().Take();
  if (!raw) raw = ::operator new(sizeof(Chunk));
  return ::new (raw) Chunk; // each record made by its own constructor, no zeroing first
}

void TUndoList::GiveBack(Chunk* chunk) {
  chunk->~Chunk();
  if (!Pool().Keep(chunk)) ::operator delete(chunk);
}

TUndoRecord& TUndoList::Push() {
  int slot = first_ + count_;
  if (slot / kChunk >= static_cast<int>(chunks_.size())) chunks_.push_back(TakeChunk());
  ++count_;
  TUndoRecord& r = At(slot);
  r = TUndoRecord();
  return r;
}

void TUndoList::Pop() {
  if (count_ == 0) return;
  int slot = first_ + count_ - 1;
  At(slot) = TUndoRecord(); // releases the texts now
  --count_;
  // Keep one spare chunk at the end, so that pushing and popping at a chunk border does
  // not allocate every time.
  while (chunks_.size() >
         (static_cast<size_t>(first_) + static_cast<size_t>(count_)) / kChunk + 2) {
    GiveBack(chunks_.back());
    chunks_.pop_back();
  }
  if (count_ == 0) Clear();
}

void TUndoList::Clear() {
  for (Chunk* c : chunks_) GiveBack(c);
  chunks_.clear();
  first_ = count_ = 0;
}

void TUndoList::RemoveFirst(int n) {
  if (n <= 0) return;
  if (n >= count_) {
    Clear();
    return;
  }
  for (int i = 0; i < n; ++i) At(first_ + i) = TUndoRecord();
  first_ += n;
  count_ -= n;
  int whole = first_ / kChunk;
  for (int i = 0; i < whole; ++i) GiveBack(chunks_[static_cast<size_t>(i)]);
  chunks_.erase(chunks_.begin(), chunks_.begin() + whole);
  first_ -= whole * kChunk;
}

} // namespace marlo
