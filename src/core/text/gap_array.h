#pragma once
// An array of plain records with a gap at the place last changed, so that records kept
// per line follow line inserts and deletes where the user works at a cost that does not
// grow with the text. Fresh records are all zero bytes; a big array of them costs memory
// only where records are written, and comes in huge pages, so that filling it (colouring
// a whole text) does not take a page fault every few hundred lines.
#include "core/platform/memory.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace marlo {

template <class T> class TGapArray {
  static_assert(std::is_trivially_copyable_v<T>);

public:
  TGapArray() = default;
  ~TGapArray() {
    platform::FreeBlock(items_, Bytes(capacity_));
    platform::FreeBlock(prepared_, Bytes(preparedCount_));
  }
  TGapArray(const TGapArray&) = delete;
  TGapArray& operator=(const TGapArray&) = delete;

  int Count() const { return count_; }
  T& operator[](int i) { return items_[Slot(i)]; }
  const T& operator[](int i) const { return items_[Slot(i)]; }

  // `count` zero records replace all there were.
  // Makes the block a Reset to `count` records will take, so that the Reset cannot fail.
  void Prepare(int count) {
    if (count <= 0 || count == preparedCount_) return;
    T* block = static_cast<T*>(platform::AllocateZeroedBlock(Bytes(count)));
    platform::FreeBlock(prepared_, Bytes(preparedCount_));
    prepared_ = block;
    preparedCount_ = count;
  }

  void Reset(int count) {
    T* items = nullptr;
    if (count > 0 && count == preparedCount_) {
      items = std::exchange(prepared_, nullptr);
      preparedCount_ = 0;
    } else if (count > 0) {
      items = static_cast<T*>(platform::AllocateZeroedBlock(Bytes(count)));
    }
    platform::FreeBlock(items_, Bytes(capacity_));
    items_ = items;
    count_ = capacity_ = gapStart_ = std::max(count, 0);
  }

  // A zero record goes in before record i (0 <= i <= Count).
  void Insert(int i) {
    if (count_ == capacity_) Grow();
    MoveGapTo(i);
    std::memset(static_cast<void*>(items_ + gapStart_), 0, sizeof(T));
    ++gapStart_;
    ++count_;
  }

  void Erase(int i) {
    MoveGapTo(i + 1);
    --gapStart_;
    --count_;
  }

private:
  static size_t Bytes(int count) { return sizeof(T) * static_cast<size_t>(count); }

  size_t Slot(int i) const {
    return static_cast<size_t>(i < gapStart_ ? i : i + (capacity_ - count_));
  }

  void Grow() {
    long long grown = std::max<long long>(capacity_ + capacity_ / 2LL, capacity_ + 64LL);
    int cap = static_cast<int>(std::min<long long>(grown, INT_MAX));
    if (cap <= capacity_) throw std::bad_alloc();
    items_ = static_cast<T*>(platform::ResizeBlock(items_, Bytes(capacity_), Bytes(cap)));
    int tail = count_ - gapStart_;
    if (tail > 0)
      std::memmove(static_cast<void*>(items_ + (cap - tail)), items_ + (capacity_ - tail),
                   sizeof(T) * static_cast<size_t>(tail));
    capacity_ = cap;
  }

  void MoveGapTo(int i) {
    if (i == gapStart_) return;
    int gap = capacity_ - count_;
    if (gap > 0) {
      if (i < gapStart_)
        std::memmove(static_cast<void*>(items_ + i + gap), items_ + i,
                     sizeof(T) * static_cast<size_t>(gapStart_ - i));
      else
        std::memmove(static_cast<void*>(items_ + gapStart_), items_ + gapStart_ + gap,
                     sizeof(T) * static_cast<size_t>(i - gapStart_));
    }
    gapStart_ = i;
  }

  T* items_ = nullptr;
  T* prepared_ = nullptr; // zero records for the next Reset
  int preparedCount_ = 0;
  int count_ = 0;
  int capacity_ = 0;
  int gapStart_ = 0;
};

} // namespace marlo
