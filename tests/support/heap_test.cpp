#include <gtest/gtest.h>

#include <cstring>

#include "helpers/fault_os.h"
#include "support/heap.h"

namespace {

class HeapTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
};

const unsigned char* BlockStart(const void* payload) { return static_cast<const unsigned char*>(payload) - 8; }

std::uint64_t StoredSize(const void* payload) {
  std::uint64_t size = 0;
  for (int i = 5; i >= 0; --i) size = (size << 8) | BlockStart(payload)[i];
  return size;
}

void ExpectGuards(const void* payload, std::size_t size) {
  const unsigned char* block = BlockStart(payload);
  EXPECT_EQ(StoredSize(payload), size);
  EXPECT_EQ(block[6], 0x66);
  EXPECT_EQ(block[7], 0x99);
  const unsigned char trailer[4] = {0x99, 0x66, 0x33, 0xFF};
  EXPECT_EQ(std::memcmp(block + 8 + size, trailer, 4), 0);
}

bool AllZero(const void* p, std::size_t n) {
  const auto* bytes = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

TEST_F(HeapTest, BlocksAreZeroedAndGuarded) {
  void* p = MemAlloc(37);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(AllZero(p, 37));
  ExpectGuards(p, 37);
  MemFree(p);
  MemFree(nullptr);
}

TEST_F(HeapTest, EmptyBlockServesZeroSizedRequests) {
  void* empty = MemAlloc(0);
  EXPECT_EQ(empty, EmptyBlockPayload());
  ExpectGuards(empty, 0);
  MemFree(empty);  // does nothing
  ExpectGuards(empty, 0);

  void* fresh = MemRealloc(empty, 10);
  ASSERT_NE(fresh, nullptr);
  EXPECT_NE(fresh, empty);
  EXPECT_TRUE(AllZero(fresh, 10));
  ExpectGuards(fresh, 10);

  EXPECT_EQ(MemRealloc(fresh, 10), fresh);
  EXPECT_EQ(MemRealloc(fresh, 0), EmptyBlockPayload());
}

TEST_F(HeapTest, GrowthIsZeroFilledAndKeepsContents) {
  auto* p = static_cast<unsigned char*>(MemAlloc(16));
  std::memset(p, 0xAB, 16);
  auto* grown = static_cast<unsigned char*>(MemRealloc(p, 5000));
  ASSERT_NE(grown, nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(grown[i], 0xAB);
  EXPECT_TRUE(AllZero(grown + 16, 5000 - 16));
  ExpectGuards(grown, 5000);

  auto* shrunk = static_cast<unsigned char*>(MemRealloc(grown, 3));
  ASSERT_NE(shrunk, nullptr);
  EXPECT_EQ(shrunk[2], 0xAB);
  ExpectGuards(shrunk, 3);
  MemFree(shrunk);
}

TEST_F(HeapTest, FailedAllocationsReturnNullAndKeepTheOldBlock) {
  faults.FailNth(fault_os::Op::Allocate, 1);
  EXPECT_EQ(MemAlloc(8), nullptr);

  auto* p = static_cast<unsigned char*>(MemAlloc(8));
  std::memset(p, 0x5A, 8);
  faults.FailNth(fault_os::Op::Reallocate, 1);
  EXPECT_EQ(MemRealloc(p, 100), nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], 0x5A);
  ExpectGuards(p, 8);

  EXPECT_EQ(MemAlloc(SIZE_MAX - 5), nullptr);
  EXPECT_EQ(MemRealloc(p, SIZE_MAX - 5), nullptr);
  ExpectGuards(p, 8);
  MemFree(p);
}

using HeapDeathTest = HeapTest;

TEST_F(HeapDeathTest, DamagedGuardsStopTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        auto* p = static_cast<unsigned char*>(MemAlloc(4));
        p[4] = 0;  // overwrite the trailer
        MemFree(p);
      },
      "");
  EXPECT_DEATH(
      {
        auto* p = static_cast<unsigned char*>(MemAlloc(4));
        p[-1] = 0;  // overwrite the tag
        MemRealloc(p, 8);
      },
      "");
}

}  // namespace
