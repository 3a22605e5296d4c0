#include <gtest/gtest.h>

#include <cstring>

#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

bool AllZero(const unsigned char* bytes, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

// After a shrink the allocator may keep the old bytes behind the block; a
// growth must zero from the size in use, not from what the allocator kept.
TEST(OsHeapTest, GrowthZeroFillsFromTheSizeInUse) {
  auto* block = static_cast<unsigned char*>(Os.Allocate(4000));
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(AllZero(block, 0, 4000));
  std::memset(block, 0xAB, 4000);
  block = static_cast<unsigned char*>(Os.Reallocate(block, 4000, 16));
  ASSERT_NE(block, nullptr);
  block = static_cast<unsigned char*>(Os.Reallocate(block, 16, 3000));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[15], 0xAB);
  EXPECT_TRUE(AllZero(block, 16, 3000));
  block = static_cast<unsigned char*>(Os.Reallocate(block, 3000, 1 << 20));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0xAB);
  EXPECT_TRUE(AllZero(block, 16, 1 << 20));
  EXPECT_TRUE(Os.Free(block));
}

TEST(OsHeapTest, EmptyBlocksAreBlocksAndNullIsNone) {
  void* empty = Os.Allocate(0);
  EXPECT_NE(empty, nullptr);
  EXPECT_TRUE(Os.Free(empty));
  EXPECT_EQ(Os.Reallocate(nullptr, 0, 8), nullptr);
  EXPECT_TRUE(Os.Free(nullptr));
}

}  // namespace
