#pragma once
// What a mask's line run keeps per node and line position: one number each, 0 until stored.
// Storage comes as positions are first stored, a page of 64 positions at a time, found
// through a directory per 4,096 positions, so that a table touched at a few places of a long
// line costs little. All of it stays within a byte limit, and a new line reuses the memory of
// the last one (up to a part of the limit).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace marlo {

class TPositionTables {
public:
  explicit TPositionTables(std::size_t byteLimit) : limit_(byteLimit) {}

  // Starts over with tables tables of positions 0..last, all unknown.
  void Reset(int tables, int last) {
    tops_.resize(static_cast<std::size_t>(tables));
    for (std::vector<std::int32_t**>& top : tops_) top.clear();
    last_ = last;
    bytes_ = pages_.Restart(limit_ / 16) + dirs_.Restart(limit_ / 64);
  }

  std::int32_t Get(int table, int pos) const {
    const std::vector<std::int32_t**>& top = tops_[static_cast<std::size_t>(table)];
    if (top.empty()) return 0;
    const std::int32_t* const* dir = top[static_cast<std::size_t>(pos >> kDirShift)];
    if (!dir) return 0;
    const std::int32_t* page = dir[(pos >> kPageBits) & (kDirSize - 1)];
    return page ? page[pos & (kPageSize - 1)] : 0;
  }

  // False, storing nothing, when the value needs memory past the limit.
  bool Set(int table, int pos, std::int32_t value) {
    std::vector<std::int32_t**>& top = tops_[static_cast<std::size_t>(table)];
    if (top.empty()) {
      const std::size_t size = static_cast<std::size_t>(last_ >> kDirShift) + 1;
      if (bytes_ + size * sizeof(std::int32_t**) > limit_) return false;
      bytes_ += size * sizeof(std::int32_t**);
      top.assign(size, nullptr);
    }
    std::int32_t**& dir = top[static_cast<std::size_t>(pos >> kDirShift)];
    if (!dir && !(dir = dirs_.Take(bytes_, limit_))) return false;
    std::int32_t*& page = dir[(pos >> kPageBits) & (kDirSize - 1)];
    if (!page && !(page = pages_.Take(bytes_, limit_))) return false;
    page[pos & (kPageSize - 1)] = value;
    return true;
  }

private:
  static constexpr int kPageBits = 6;
  static constexpr int kPageSize = 1 << kPageBits;
  static constexpr int kDirSize = 64;
  static constexpr int kDirShift = kPageBits + 6;

  // Zeroed blocks of kBlock values, carved out of chunks of 64 blocks.
  template <class T, std::size_t kBlock> class TBlocks {
  public:
    T* Take(std::size_t& bytes, std::size_t limit) {
      if (chunk_ < chunks_.size() && used_ == kChunkBlocks) {
        ++chunk_;
        used_ = 0;
      }
      if (chunk_ == chunks_.size()) {
        if (bytes + kChunkBytes > limit) return nullptr;
        bytes += kChunkBytes;
        chunks_.push_back(std::make_unique_for_overwrite<T[]>(kBlock * kChunkBlocks));
      }
      T* block = chunks_[chunk_].get() + used_++ * kBlock;
      std::fill(block, block + kBlock, T{});
      return block;
    }
    // Carves from the first chunk again, keeping chunks of at most keepBytes; returns the
    // bytes kept.
    std::size_t Restart(std::size_t keepBytes) {
      chunks_.resize(std::min(chunks_.size(), keepBytes / kChunkBytes));
      chunk_ = used_ = 0;
      return chunks_.size() * kChunkBytes;
    }

  private:
    static constexpr std::size_t kChunkBlocks = 64;
    static constexpr std::size_t kChunkBytes = sizeof(T) * kBlock * kChunkBlocks;
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t chunk_ = 0; // the chunk blocks are taken from
    std::size_t used_ = 0;  // blocks taken from it
  };

  std::size_t limit_;
  std::size_t bytes_ = 0;
  int last_ = 0;
  // Per table, a directory for each 4,096 positions (null: none yet).
  std::vector<std::vector<std::int32_t**>> tops_;
  TBlocks<std::int32_t*, kDirSize> dirs_;
  TBlocks<std::int32_t, kPageSize> pages_;
};

} // namespace marlo
