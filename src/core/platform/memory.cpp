#include "core/platform/memory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace marlo::platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kMapThreshold = size_t(4) << 20;

size_t Mapped(size_t bytes) {
  return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

void* Map(size_t bytes) {
  void* p =
      ::mmap(nullptr, Mapped(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  ::madvise(p, Mapped(bytes), MADV_HUGEPAGE);
#endif
  return p;
}

std::atomic<int> failCountdown{0};

} // namespace

void FailBlockAllocationForTesting(int n) {
  failCountdown.store(n);
}

void* AllocateBlock(size_t bytes) {
  if (failCountdown.load(std::memory_order_relaxed) > 0 && failCountdown.fetch_sub(1) == 1)
    throw std::bad_alloc();
  if (bytes >= kMapThreshold) return Map(bytes);
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

void* AllocateZeroedBlock(size_t bytes) {
  if (bytes >= kMapThreshold) return AllocateBlock(bytes); // fresh mappings are zero
  void* p = AllocateBlock(bytes);
  std::memset(p, 0, bytes);
  return p;
}

void* ResizeBlock(void* block, size_t oldBytes, size_t newBytes) {
  if (!block) return AllocateBlock(newBytes);
  bool wasMapped = oldBytes >= kMapThreshold, mapped = newBytes >= kMapThreshold;
  if (!wasMapped && !mapped) {
    void* p = std::realloc(block, newBytes ? newBytes : 1);
    if (!p) throw std::bad_alloc();
    return p;
  }
#ifdef MREMAP_MAYMOVE
  if (wasMapped && mapped) {
    void* p = ::mremap(block, Mapped(oldBytes), Mapped(newBytes), MREMAP_MAYMOVE);
    if (p == MAP_FAILED) throw std::bad_alloc();
    ::madvise(p, Mapped(newBytes), MADV_HUGEPAGE);
    return p;
  }
#endif
  void* p = AllocateBlock(newBytes);
  std::memcpy(p, block, oldBytes < newBytes ? oldBytes : newBytes);
  FreeBlock(block, oldBytes);
  return p;
}

void FreeBlock(void* block, size_t bytes) {
  if (!block) return;
  if (bytes >= kMapThreshold)
    ::munmap(block, Mapped(bytes));
  else
    std::free(block);
}

void AdviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef MADV_HUGEPAGE
  if (bytes < kMapThreshold) return;
  // Only whole huge pages inside the block: the advice must not reach memory of others.
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHugePage - 1);
  if (begin < end) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

ByteBlock AllocateBytes(size_t bytes) {
  return ByteBlock(static_cast<char*>(AllocateBlock(bytes)), ByteBlockDeleter{bytes});
}

} // namespace marlo::platform
