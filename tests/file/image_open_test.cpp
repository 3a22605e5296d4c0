#include "file/image_open.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/dos_date_time.h"
#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"

namespace {

using platform_test::Fault;

void SetLastWriteTime(const std::string& path, const FILETIME& time) {
  const std::int64_t unixTicks = static_cast<std::int64_t>(TicksOf(time)) - 116444736000000000LL;
  const timespec times[2] = {{0, UTIME_OMIT}, {unixTicks / 10000000, (unixTicks % 10000000) * 100}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class ImageOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
  }
  void TearDown() override { platform_test::ResetAll(); }

  ScratchDir dir;
  TimeZoneScope zone{"UTC0"};
  ImageFile image;
  ImageTimes times{};
};

TEST_F(ImageOpenTest, EmptyImageOpensWithItsTimes) {
  const std::string path = dir.Write("empty.tap", "");
  SetLastWriteTime(path, UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000));
  ASSERT_TRUE(OpenImage(image, path.c_str(), ImageUse::Listing, times).IsOk());
  EXPECT_EQ(image.view, reinterpret_cast<void*>(1));
  EXPECT_EQ(times.lastWrite, TicksOf(UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000)));
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
  EXPECT_EQ(image.mapping, nullptr);
  EXPECT_TRUE(platform_test::TakeBoxes().empty());
}

TEST_F(ImageOpenTest, TimesWithoutADosFormOrUnreadableFailToOpen) {
  const std::string path = dir.Write("old.tap", "x");
  SetLastWriteTime(path, UtcFileTime(1979, 6, 1, 0, 0, 0));
  EXPECT_EQ(HostCode(OpenImage(image, path.c_str(), ImageUse::Listing, times)), E_EOPEN);
  EXPECT_FALSE(image.HasFile());

  EXPECT_TRUE(dir.Has("old.tap"));
  EXPECT_EQ(HostCode(OpenImage(image, dir.Path("missing.tap").c_str(), ImageUse::Listing, times)), E_EOPEN);
}

TEST_F(ImageOpenTest, FailedOpenRemovesOnlyAnImageItCreated) {
  const std::string path = dir.Write("old.tap", "x");
  platform_test::FailCall(Fault::GetFileTime, 1);
  EXPECT_EQ(HostCode(OpenImage(image, path.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(image.HasFile());
  EXPECT_EQ(dir.Read("old.tap"), "x");

  const std::string fresh = dir.Path("new.tap");
  platform_test::FailCall(Fault::GetFileTime, 1);
  EXPECT_EQ(HostCode(OpenImage(image, fresh.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));
  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_EQ(HostCode(OpenImage(image, fresh.c_str(), ImageUse::Packing, times)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));

  // Once open, the image is never deleted by a close.
  ASSERT_TRUE(OpenImage(image, fresh.c_str(), ImageUse::Packing, times).IsOk());
  EXPECT_TRUE(image.created);
  EXPECT_TRUE(image.Close(CloseAs::Failure).IsOk());
  EXPECT_TRUE(dir.Has("new.tap"));
}

TEST_F(ImageOpenTest, DosDateTimeIsInLocalTime) {
  const FILETIME lateIn1979 = UtcFileTime(1979, 12, 31, 23, 0, 0);
  EXPECT_EQ(ToDosDateTime(TicksOf(lateIn1979)), 0u);
  TimeZoneScope east("XYZ-3");
  EXPECT_EQ(ToDosDateTime(TicksOf(lateIn1979)), ((0u << 9 | 1 << 5 | 1) << 16) | (2u << 11));
}

}  // namespace
