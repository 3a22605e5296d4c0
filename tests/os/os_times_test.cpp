#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <string>

#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

class OsTimesTest : public ::testing::Test {
 protected:
  os::File* Open(os::Access access) {
    return Os.Open(dir.Path("f").c_str(), access, os::Disposition::OpenAlways, nullptr);
  }
  ScratchDir dir;
};

TEST_F(OsTimesTest, TimesRoundTripExactlyAndTheCreationTimeIsStoredLittleEndian) {
  // An extraction time code, and a write time with 100 ns digits.
  const os::FileTime creation = 0x01AD8BEBB50D6200ULL;
  const os::FileTime lastWrite = UtcFileTime(2021, 3, 4, 5, 6, 7, 1234567);
  os::File* file = Open(os::Access::ReadWrite);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(Os.SetTimes(file, creation, lastWrite));
  ASSERT_TRUE(Os.Close(file));

  file = Open(os::Access::Read);
  ASSERT_NE(file, nullptr);
  os::FileTime readCreation = 0;
  os::FileTime readWrite = 0;
  ASSERT_TRUE(Os.GetTimes(file, &readCreation, &readWrite));
  EXPECT_EQ(readCreation, creation);
  EXPECT_EQ(readWrite, lastWrite);
  readWrite = 0;
  ASSERT_TRUE(Os.GetTimes(file, nullptr, &readWrite));
  EXPECT_EQ(readWrite, lastWrite);
  EXPECT_FALSE(Os.SetTimes(file, creation + 1, 0)) << "a reader changes no times";
  ASSERT_TRUE(Os.Close(file));

  unsigned char stored[8] = {};
  ASSERT_EQ(getxattr(dir.Path("f").c_str(), "user.doved.creation_time", stored, sizeof stored), 8);
  EXPECT_EQ(stored[0], 0x00);
  EXPECT_EQ(stored[1], 0x62);
  EXPECT_EQ(stored[7], 0x01);
}

TEST_F(OsTimesTest, ZeroLeavesATimeAloneAndTimesBefore1970Survive) {
  const os::FileTime creation = UtcFileTime(1981, 6, 2, 0, 0, 0, 100000);
  const os::FileTime before1970 = UtcFileTime(1969, 12, 31, 23, 59, 59, 5);
  os::File* file = Open(os::Access::ReadWrite);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(Os.SetTimes(file, creation, before1970));
  ASSERT_TRUE(Os.SetTimes(file, 0, 0));
  const os::FileTime later = UtcFileTime(2000, 1, 1, 0, 0, 0);
  ASSERT_TRUE(Os.SetTimes(file, 0, later));
  os::FileTime readCreation = 0;
  os::FileTime readWrite = 0;
  ASSERT_TRUE(Os.GetTimes(file, &readCreation, &readWrite));
  EXPECT_EQ(readCreation, creation);
  EXPECT_EQ(readWrite, later);
  ASSERT_TRUE(Os.SetTimes(file, 0, before1970));
  ASSERT_TRUE(Os.GetTimes(file, nullptr, &readWrite));
  EXPECT_EQ(readWrite, before1970);
  EXPECT_TRUE(Os.Close(file));
}

TEST_F(OsTimesTest, WithoutAStoredTimeTheBirthTimeIsTheCreationTime) {
  os::File* file = Open(os::Access::ReadWrite);
  ASSERT_NE(file, nullptr);
  struct statx status {};
  ASSERT_EQ(statx(AT_FDCWD, dir.Path("f").c_str(), 0, STATX_BTIME, &status), 0);
  const os::FileTime birth =
      (status.stx_mask & STATX_BTIME) != 0
          ? static_cast<os::FileTime>((status.stx_btime.tv_sec + SecondsTo1970) * 10000000LL) +
                status.stx_btime.tv_nsec / 100
          : 0;
  os::FileTime creation = 1;
  ASSERT_TRUE(Os.GetTimes(file, &creation, nullptr));
  EXPECT_EQ(creation, birth);
  EXPECT_TRUE(Os.Close(file));
}

}  // namespace
