#include <gtest/gtest.h>

#include <string>

#include "helpers/fault_os.h"
#include "support/list.h"

namespace {

struct Record40 {
  char bytes[40];
};

class ListTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
};

TEST_F(ListTest, CapacityDoublesFromOne) {
  List<int*> list;
  std::vector<std::uint32_t> capacities;
  for (std::uintptr_t i = 0; i < 9; ++i) {
    ASSERT_TRUE(list.Add(reinterpret_cast<int*>(i)).IsOk());
    capacities.push_back(list.capacity);
  }
  EXPECT_EQ(capacities, (std::vector<std::uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
  for (std::uint32_t i = 0; i < list.count; ++i) EXPECT_EQ(list.At(i), reinterpret_cast<int*>(std::uintptr_t{i}));
}

TEST_F(ListTest, MaximumCapacityDependsOnTheElementSize) {
  EXPECT_EQ(List<void*>::MaxCapacity, 0x0FFFFFFFu);
  EXPECT_EQ(List<Record40>::MaxCapacity, 0x3333333u);
}

TEST_F(ListTest, FullListAtItsMaximumOverflows) {
  List<void*> list;
  list.count = list.capacity = List<void*>::MaxCapacity;
  const Status overflow = list.Add(nullptr);
  EXPECT_STREQ(overflow.message, "Overflow of list");
  EXPECT_EQ(HostCode(overflow), 1);
  EXPECT_EQ(list.count, List<void*>::MaxCapacity);
  list.count = list.capacity = 0;
}

TEST_F(ListTest, FailedGrowthLeavesTheListUnchanged) {
  List<Record40> list;
  ASSERT_TRUE(list.Add(Record40{"first"}).IsOk());
  Record40* before = list.items;
  faults.FailNth(fault_os::Op::Reallocate, 1);
  EXPECT_EQ(HostCode(list.Add(Record40{"second"})), E_NO_MEMORY);
  EXPECT_EQ(list.count, 1u);
  EXPECT_EQ(list.capacity, 1u);
  EXPECT_EQ(list.items, before);
  EXPECT_STREQ(list.At(0).bytes, "first");
  ASSERT_TRUE(list.Add(Record40{"second"}).IsOk());
  EXPECT_STREQ(list.At(1).bytes, "second");
}

TEST_F(ListTest, AppendDoublesTheCapacityUntilEverythingFits) {
  List<char> list;
  ASSERT_TRUE(list.Append("abc", 3).IsOk());
  EXPECT_EQ(list.capacity, 4u);
  ASSERT_TRUE(list.Append("defghij", 7).IsOk());
  EXPECT_EQ(list.capacity, 16u);
  ASSERT_TRUE(list.Append("k", 0).IsOk());
  ASSERT_TRUE(list.Add('k').IsOk());
  EXPECT_EQ(std::string(list.items, list.count), "abcdefghijk");
  EXPECT_EQ(list.capacity, 16u);
}

TEST_F(ListTest, FailedAppendLeavesTheListUnchanged) {
  List<char> list;
  ASSERT_TRUE(list.Append("ab", 2).IsOk());
  faults.FailNth(fault_os::Op::Reallocate, 1);
  EXPECT_EQ(HostCode(list.Append("cdef", 4)), E_NO_MEMORY);
  EXPECT_EQ(std::string(list.items, list.count), "ab");
  EXPECT_EQ(list.capacity, 2u);

  List<void*> full;
  full.count = full.capacity = List<void*>::MaxCapacity - 1;
  void* two[2] = {};
  EXPECT_STREQ(full.Append(two, 2).message, "Overflow of list");
  EXPECT_EQ(full.count, List<void*>::MaxCapacity - 1);
  full.count = full.capacity = 0;
}

TEST(ListDeathTest, IndexOutOfRangeStopsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        List<int> list;
        (void)list.Add(1);
        (void)list.At(1);
      },
      "");
}

}  // namespace
