#pragma once
// An array of plain records with a gap at the place last changed, so that records kept
// per line follow line inserts and deletes where the user works at a cost that does not
// grow with the text. Fresh records are all zero bytes; a big array of them costs memory
// only where records are written.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace marlo {

template <class T> class TGapArray {
  static_assert(std::is_trivially_copyable_v<T>);

public:
  TGapArray() = default;
  ~TGapArray() { std::free(items_); }
  TGapArray(const TGapArray&) = delete;
  TGapArray& operator=(const TGapArray&) = delete;

  int Count() const { return count_; }
  T& operator[](int i) { return items_[Slot(i)]; }
  const T& operator[](int i) const { return items_[Slot(i)]; }

  // `count` zero records replace all there were.
  void Reset(int count) {
    std::free(items_);
    items_ = nullptr;
    count_ = capacity_ = gapStart_ = 0;
    if (count <= 0) return;
    // calloc maps big blocks fresh from the system: their pages stay untouched until used.
    items_ = static_cast<T*>(std::calloc(static_cast<size_t>(count), sizeof(T)));
    if (!items_) throw std::bad_alloc();
    count_ = capacity_ = gapStart_ = count;
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
  size_t Slot(int i) const {
    return static_cast<size_t>(i < gapStart_ ? i : i + (capacity_ - count_));
  }

  void Grow() {
    long long grown = std::max<long long>(capacity_ + capacity_ / 2LL, capacity_ + 64LL);
    int cap = static_cast<int>(std::min<long long>(grown, INT_MAX));
    if (cap <= capacity_) throw std::bad_alloc();
    auto* items = static_cast<T*>(std::realloc(items_, sizeof(T) * static_cast<size_t>(cap)));
    if (!items) throw std::bad_alloc();
    items_ = items;
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
  int count_ = 0;
  int capacity_ = 0;
  int gapStart_ = 0;
};

} // namespace marlo
