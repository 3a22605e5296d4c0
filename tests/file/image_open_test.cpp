#include "file/image_open.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/dos_date_time.h"
#include "helpers/fault_os.h"
#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"

namespace {

using fault_os::Op;

void SetLastWriteTime(const std::string& path, std::uint64_t time) {
  const std::int64_t unixTicks = static_cast<std::int64_t>(time) - 116444736000000000LL;
  const timespec times[2] = {{0, UTIME_OMIT}, {unixTicks / 10000000, (unixTicks % 10000000) * 100}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class ImageOpenTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
  ScratchDir dir;
  TimeZoneScope zone{"UTC0"};
  DiskFile image;
  ImageTimes times{};
};

TEST_F(ImageOpenTest, EmptyImageOpensWithItsTimes) {
  const std::string path = dir.Write("empty.tap", "");
  SetLastWriteTime(path, UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000));
  ASSERT_TRUE(OpenImage(image, path.c_str(), ImageUse::Listing, times).IsOk());
  EXPECT_TRUE(image.HasFile());
  EXPECT_EQ(image.Bytes(), nullptr);
  EXPECT_EQ(times.lastWrite, UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000));
  const std::uint32_t date = (40 << 9) | (5 << 5) | 17;
  const std::uint32_t time = (10 << 11) | (20 << 5) | 15;
  EXPECT_EQ(times.dosDateTime, (date << 16) | time);
}

TEST_F(ImageOpenTest, ImageOverTwoGigabytesIsAnUnknownFormat) {
  const std::string path = dir.Path("huge.tap");
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0);
  close(fd);
  const Status result = OpenImage(image, path.c_str(), ImageUse::Listing, times);
  EXPECT_EQ(HostCode(result), E_UNKNOWN_FORMAT);
  EXPECT_FALSE(result.flags & Status::Show);
  EXPECT_FALSE(image.HasFile());
  EXPECT_EQ(image.Bytes(), nullptr);
  EXPECT_TRUE(faults.TakeBoxes().empty());
  // Refused for its size before any of it is viewed: a view that cannot be
  // had changes nothing.
  faults.FailEvery(Op::MapView);
  EXPECT_EQ(HostCode(OpenImage(image, path.c_str(), ImageUse::Listing, times)), E_UNKNOWN_FORMAT);
}

// Zero timestamps and archives restored from tar date images in 1970: they
// open with the nearest date that has a DOS form.
TEST_F(ImageOpenTest, TimesWithoutADosFormOpenWithTheNearestOne) {
  const std::string path = dir.Write("old.tap", "x");
  const struct {
    std::uint64_t lastWrite;
    std::uint32_t dosDateTime;
  } cases[] = {
      {UtcFileTime(1970, 1, 1, 0, 0, 0), (1u << 5 | 1) << 16},
      {UtcFileTime(1979, 6, 1, 0, 0, 0), (1u << 5 | 1) << 16},
      {UtcFileTime(2110, 3, 4, 5, 6, 7), (127u << 9 | 12 << 5 | 31) << 16 | (23u << 11 | 59 << 5 | 29)},
  };
  for (const auto& c : cases) {
    SetLastWriteTime(path, c.lastWrite);
    ASSERT_TRUE(OpenImage(image, path.c_str(), ImageUse::Listing, times).IsOk());
    EXPECT_EQ(times.lastWrite, c.lastWrite);
    EXPECT_EQ(times.dosDateTime, c.dosDateTime);
    EXPECT_TRUE(image.Close(CloseAs::Success).IsOk());
  }
}

TEST_F(ImageOpenTest, MissingImageOrUnreadableTimesFailToOpen) {
  EXPECT_EQ(HostCode(OpenImage(image, dir.Path("missing.tap").c_str(), ImageUse::Listing, times)), E_EOPEN);
  const std::string path = dir.Write("old.tap", "x");
  faults.FailNth(fault_os::Op::GetTimes, 1);
  EXPECT_EQ(HostCode(OpenImage(image, path.c_str(), ImageUse::Listing, times)), E_EOPEN);
  EXPECT_FALSE(image.HasFile());
  EXPECT_TRUE(dir.Has("old.tap"));
}

TEST_F(ImageOpenTest, FailedOpenRemovesOnlyAnImageItCreated) {
  const std::string path = dir.Write("old.tap", "x");
  faults.FailNth(Op::GetTimes, 1);
  EXPECT_EQ(HostCode(OpenImage(image, path.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(image.HasFile());
  EXPECT_EQ(dir.Read("old.tap"), "x");

  const std::string fresh = dir.Path("new.tap");
  faults.FailNth(Op::GetTimes, 1);
  EXPECT_EQ(HostCode(OpenImage(image, fresh.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));
  faults.FailNth(Op::Size, 1);
  EXPECT_EQ(HostCode(OpenImage(image, fresh.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));

  // Once open, the image is never deleted by a close.
  ASSERT_TRUE(OpenImage(image, fresh.c_str(), ImageUse::Packing, times).IsOk());
  EXPECT_TRUE(image.Created());
  EXPECT_TRUE(image.Close(CloseAs::Failure).IsOk());
  EXPECT_TRUE(dir.Has("new.tap"));
}

TEST_F(ImageOpenTest, DosDateTimeIsInLocalTime) {
  const std::uint64_t lateIn1979 = UtcFileTime(1979, 12, 31, 23, 0, 0);
  EXPECT_EQ(ToDosDateTime(lateIn1979), 0u);
  TimeZoneScope east("XYZ-3");
  EXPECT_EQ(ToDosDateTime(lateIn1979), ((0u << 9 | 1 << 5 | 1) << 16) | (2u << 11));
}

}  // namespace
