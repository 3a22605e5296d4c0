#include "plugin/archive_handle.h"

#include <gtest/gtest.h>

#include <cstring>

#include "helpers/fault_os.h"
#include "helpers/fault_os.h"
#include "helpers/file_access.h"
#include "helpers/scratch_dir.h"
#include "support/heap.h"
#include "tape/tape_image.h"

namespace {

bool IsAllZero(const ArchiveHandle& handle) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&handle);
  for (std::size_t i = 0; i < sizeof handle; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

class ArchiveHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { std::memset(static_cast<void*>(&handle), 0, sizeof handle); }
  void TearDown() override { ReleaseHandle(handle); }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  ArchiveHandle handle;
};

TEST_F(ArchiveHandleTest, ReleasingAZeroHandleLeavesItZero) {
  ReleaseHandle(handle);
  EXPECT_TRUE(IsAllZero(handle));
}

TEST_F(ArchiveHandleTest, ReleasingAFilledHandleFreesEverythingAndClosesTheImage) {
  const std::string path = dir.Write("a.tap", "abc");
  ASSERT_TRUE(OpenImage(handle.image, path.c_str(), ImageUse::Listing, handle.times).IsOk());
  ASSERT_TRUE(ReserveEntries(handle.tape, 3).IsOk());
  for (int i = 0; i < 3; ++i) AddEntry(handle.tape);
  ASSERT_TRUE(handle.tape.listedNames.Append("a.C", 4).IsOk());
  handle.tape.namedEntries = 1;
  handle.cursor = 2;
  EXPECT_GT(faults.LiveBlocks(), 0);
  ReleaseHandle(handle);
  EXPECT_TRUE(IsAllZero(handle));
  EXPECT_EQ(faults.LiveBlocks(), 0);
  EXPECT_TRUE(NobodyHolds(path));
}

}  // namespace
