#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/random_pool.h"

namespace {

std::uint32_t ReferenceCrcStep(std::uint32_t reg, const std::string& bytes) {
  for (unsigned char b : bytes) {
    reg ^= b;
    for (int i = 0; i < 8; ++i) reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
  }
  return reg;
}

TEST(RandomPoolTest, MixIsTheReflectedCrcUpdateWithoutFinalInversion) {
  // The standard CRC-32 check value of "123456789" is 0xCBF43926 after inversion.
  ASSERT_EQ(ReferenceCrcStep(0xFFFFFFFF, "123456789"), ~0xCBF43926u);
  const std::uint32_t before = RandomPool::Value();
  RandomPool::Mix("123456789", 9);
  EXPECT_EQ(RandomPool::Value(), ReferenceCrcStep(before, "123456789"));
}

TEST(RandomPoolTest, ConcurrentMixesAreNeverLost) {
  // Zero bytes make every update the same linear map, so the final value
  // does not depend on the order of the threads, only on how many updates landed.
  constexpr int threads = 4;
  constexpr int mixesEach = 20000;
  const std::uint32_t before = RandomPool::Value();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([] {
      const unsigned char zero = 0;
      for (int i = 0; i < mixesEach; ++i) RandomPool::Mix(&zero, 1);
    });
  }
  for (auto& worker : workers) worker.join();
  std::uint32_t expected = before;
  for (int i = 0; i < threads * mixesEach; ++i) expected = ReferenceCrcStep(expected, std::string(1, '\0'));
  EXPECT_EQ(RandomPool::Value(), expected);
}

}  // namespace
