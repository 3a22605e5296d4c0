#include "support/random_pool.h"

#include <atomic>

namespace RandomPool {
namespace {

std::atomic<std::uint32_t> reg{0xFFFFFFFF};

std::uint32_t Crc32Update(std::uint32_t value, const unsigned char* bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    value ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? 0xEDB88320u : 0u);
  }
  return value;
}

}  // namespace

void Mix(const void* bytes, std::size_t n) {
  const auto* data = static_cast<const unsigned char*>(bytes);
  std::uint32_t seen = reg.load(std::memory_order_relaxed);
  while (!reg.compare_exchange_weak(seen, Crc32Update(seen, data, n), std::memory_order_relaxed)) {
  }
}

std::uint32_t Value() { return reg.load(std::memory_order_relaxed); }

}  // namespace RandomPool
