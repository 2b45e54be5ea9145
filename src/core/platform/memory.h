#pragma once
// Big blocks of memory for the line store and file buffers. Large blocks are mapped with
// a hint for huge pages, which makes filling a fresh 30 MB buffer several times cheaper
// than through small pages; small blocks come from the ordinary heap.
#include <cstddef>
#include <memory>

namespace marlo::platform {

void* AllocateBlock(size_t bytes);
// A block of zero bytes; a large one is mapped fresh, so that its pages cost memory only
// once they are written.
void* AllocateZeroedBlock(size_t bytes);
// Grows or shrinks a block from AllocateBlock, keeping its first min(old, new) bytes.
void* ResizeBlock(void* block, size_t oldBytes, size_t newBytes);
void FreeBlock(void* block, size_t bytes);

struct ByteBlockDeleter {
  size_t bytes = 0;
  void operator()(char* p) const { FreeBlock(p, bytes); }
};
using ByteBlock = std::unique_ptr<char[], ByteBlockDeleter>;

// For tests of what a failed allocation leaves behind: the n-th AllocateBlock from now
// raises std::bad_alloc (0 turns this off).
void FailBlockAllocationForTesting(int n);

// Asks for huge pages under the part of [data, data + bytes) not yet touched, when it is a
// big block (of a std::string or std::vector just reserved, say): the first write to each
// page then costs one fault for 2 MB rather than one for 4 KB. Small blocks are left alone.
void AdviseHugePages(const void* data, size_t bytes);

// `bytes` bytes from AllocateBlock, owned.
ByteBlock AllocateBytes(size_t bytes);

} // namespace marlo::platform
