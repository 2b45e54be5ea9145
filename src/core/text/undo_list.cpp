#include "core/text/undo_list.h"

#include "core/platform/memory.h"

#include <new>
#include <utility>
#include <vector>

namespace marlo {

namespace {

// Chunks come from slabs of a few megabytes, mapped with a hint for huge pages: a Replace
// All over a big text makes hundreds of thousands of records, and faulting their memory in
// page by page cost more than making them. Chunks that lists give back are kept for the
// next list that grows (an undo empties one list while it fills the other); a slab whose
// chunks are all back goes when enough others are spare.
class ChunkPool {
public:
  // A list that outlives its thread's pool (a static one, at exit) keeps its slab.
  ~ChunkPool() {
    for (Slab& s : slabs_)
      if (s.Memory && s.Out == 0) platform::FreeBlock(s.Memory, kSlabBytes);
    gone_ = true;
  }
  static bool Gone() { return gone_; }

  void* Take(size_t chunkBytes, size_t& slab) {
    if (free_.empty()) AddSlab(chunkBytes);
    auto [c, owner] = free_.back();
    free_.pop_back();
    ++slabs_[owner].Out;
    slab = owner;
    return c;
  }

  void Keep(void* c, size_t slab) {
    free_.push_back({c, slab});
    if (--slabs_[slab].Out > 0 || free_.size() <= kMaxSpare) return;
    // Every chunk of this slab is back and more than enough are spare: the slab goes.
    std::erase_if(free_, [slab](const auto& f) { return f.second == slab; });
    platform::FreeBlock(slabs_[slab].Memory, kSlabBytes);
    slabs_[slab].Memory = nullptr;
    unused_.push_back(slab);
  }

private:
  static constexpr size_t kSlabBytes = size_t(4) << 20;
  static constexpr size_t kMaxSpare = 256;
  struct Slab {
    char* Memory = nullptr;
    int Out = 0;
  };

  void AddSlab(size_t chunkBytes) {
    char* memory = static_cast<char*>(platform::AllocateBlock(kSlabBytes));
    size_t index;
    if (!unused_.empty()) {
      index = unused_.back();
      unused_.pop_back();
      slabs_[index] = {memory, 0};
    } else {
      index = slabs_.size();
      slabs_.push_back({memory, 0});
    }
    for (size_t at = 0; at + chunkBytes <= kSlabBytes; at += chunkBytes)
      free_.push_back({memory + at, index});
  }

  std::vector<Slab> slabs_;
  std::vector<size_t> unused_; // slab entries whose memory went
  std::vector<std::pair<void*, size_t>> free_;
  static thread_local bool gone_;
};

thread_local bool ChunkPool::gone_ = false;

ChunkPool& Pool() {
  static thread_local ChunkPool pool;
  return pool;
}

} // namespace

TUndoList::Chunk* TUndoList::TakeChunk() {
  size_t slab = 0;
  void* raw = Pool().Take(sizeof(Chunk), slab);
  auto* chunk = ::new (raw) Chunk; // each record made by its own constructor, no zeroing first
  chunk->Slab = slab;
  return chunk;
}

void TUndoList::GiveBack(Chunk* chunk) {
  size_t slab = chunk->Slab;
  chunk->~Chunk();
  if (!ChunkPool::Gone()) Pool().Keep(chunk, slab);
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
