#include "core/platform/guid.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace marlo::platform {

std::string NewGuidString() {
  static std::mt19937_64 engine{std::random_device{}()};
  uint64_t hi = engine(), lo = engine();
  hi = (hi & ~0xF000ull) | 0x4000ull;                         // version 4
  lo = (lo & ~0xC000000000000000ull) | 0x8000000000000000ull; // RFC 4122 variant
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(hi >> 32),
                static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                static_cast<unsigned>(lo >> 48),
                static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFull));
  return buf;
}

} // namespace marlo::platform
