#include "plugin/archive_handle.h"

#include <gtest/gtest.h>

#include "helpers/fault_os.h"
#include "helpers/file_access.h"
#include "helpers/scratch_dir.h"
#include "support/heap.h"
#include "tape/tape_image.h"

namespace {

// Released: nothing held, nothing allocated, ready for another image.
void ExpectEmpty(const ArchiveHandle& handle) {
  EXPECT_FALSE(handle.image.HasFile());
  EXPECT_EQ(handle.tape.entries.count, 0u);
  EXPECT_EQ(handle.tape.namedEntries, 0u);
  EXPECT_EQ(handle.cursor, 0u);
  EXPECT_STREQ(handle.path, "");
}

class ArchiveHandleTest : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseHandle(handle); }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  ArchiveHandle handle;
};

TEST_F(ArchiveHandleTest, ReleasingAnEmptyHandleLeavesItEmpty) {
  ReleaseHandle(handle);
  ExpectEmpty(handle);
  EXPECT_EQ(faults.LiveBlocks(), 0);
}

TEST_F(ArchiveHandleTest, ReleasingAFilledHandleFreesEverythingAndClosesTheImage) {
  const std::string path = dir.Write("a.tap", "abc");
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(OpenImage(handle.image, path.c_str(), ImageUse::Listing, handle.times).IsOk());
    ASSERT_TRUE(ReserveEntries(handle.tape, 3).IsOk());
    for (int i = 0; i < 3; ++i) AddEntry(handle.tape);
    ASSERT_TRUE(handle.tape.listedNames.Append("a.C", 4).IsOk());
    handle.tape.namedEntries = 1;
    handle.cursor = 2;
    EXPECT_GT(faults.LiveBlocks(), 0);
    ReleaseHandle(handle);
    ExpectEmpty(handle);
    EXPECT_EQ(faults.LiveBlocks(), 0);
    EXPECT_TRUE(NobodyHolds(path));
  }
}

}  // namespace
