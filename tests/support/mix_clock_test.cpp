#include "support/mix_clock.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "support/random_pool.h"

namespace {

// The pool is a CRC-32 register: after Mix(r) it holds Shift(v) ^ Crc(0, r),
// where Shift(v) is v run through as many zero bytes. So the contribution of
// each record can be recovered and compared.
std::uint32_t CrcUpdate(std::uint32_t value, const unsigned char* bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    value ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? 0xEDB88320u : 0u);
  }
  return value;
}

std::uint32_t RecordContribution(std::uint32_t before, std::uint32_t after) {
  const unsigned char zeros[21] = {};
  return after ^ CrcUpdate(before, zeros, sizeof zeros);
}

TEST(MixClockTest, TwoCallsMixDifferentRecords) {
  const std::uint32_t v0 = RandomPool::Value();
  MixClock();
  const std::uint32_t v1 = RandomPool::Value();
  MixClock();
  const std::uint32_t v2 = RandomPool::Value();
  EXPECT_NE(RecordContribution(v0, v1), RecordContribution(v1, v2));
  EXPECT_NE(v1, v2);
}

}  // namespace
