#include "plugin/archive_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/file_time_helpers.h"
#include "platform/posix/test_hooks.h"
#include "platform/scratch_dir.h"
#include "support/heap.h"
#include "support/mix_clock.h"
#include "support/random_pool.h"
#include "tape/tape_entry.h"

namespace {

using platform_test::Fault;

bool IsAllZero(const ArchiveHandle& handle) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&handle);
  for (std::size_t i = 0; i < sizeof handle; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

void SetLastWriteTime(const std::string& path, const FILETIME& time) {
  const std::int64_t unixTicks = static_cast<std::int64_t>(TicksOf(time)) - 116444736000000000LL;
  const timespec times[2] = {{0, UTIME_OMIT}, {unixTicks / 10000000, (unixTicks % 10000000) * 100}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class ArchiveHandleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
    std::memset(static_cast<void*>(&handle), 0, sizeof handle);
  }
  void TearDown() override {
    ReleaseHandle(handle);
    platform_test::ResetAll();
  }

  ScratchDir dir;
  TimeZoneScope zone{"UTC0"};
  ArchiveHandle handle;
};

TEST_F(ArchiveHandleTest, EmptyImageOpensWithItsTimes) {
  const std::string path = dir.Write("empty.tap", "");
  SetLastWriteTime(path, UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000));
  ASSERT_TRUE(OpenImage(handle, path.c_str(), false, OPEN_EXISTING).IsOk());
  EXPECT_EQ(handle.image.view, reinterpret_cast<void*>(1));
  EXPECT_EQ(TicksOf(handle.lastWriteTime), TicksOf(UtcFileTime(2020, 5, 17, 10, 20, 31, 4000000)));
  const std::uint32_t date = (40 << 9) | (5 << 5) | 17;
  const std::uint32_t time = (10 << 11) | (20 << 5) | 15;
  EXPECT_EQ(handle.dosDateTime, (date << 16) | time);
}

TEST_F(ArchiveHandleTest, ImageOverTwoGigabytesIsAnUnknownFormat) {
  const std::string path = dir.Path("huge.tap");
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0);
  close(fd);
  const Status result = OpenImage(handle, path.c_str(), false, OPEN_EXISTING);
  EXPECT_EQ(HostCode(result), E_UNKNOWN_FORMAT);
  EXPECT_FALSE(result.flags & Status::Show);
  EXPECT_FALSE(handle.image.HasFile());
  EXPECT_EQ(handle.image.mapping, nullptr);
  EXPECT_TRUE(platform_test::TakeBoxes().empty());
}

TEST_F(ArchiveHandleTest, TimesWithoutADosFormOrUnreadableFailToOpen) {
  const std::string path = dir.Write("old.tap", "x");
  SetLastWriteTime(path, UtcFileTime(1979, 6, 1, 0, 0, 0));
  EXPECT_EQ(HostCode(OpenImage(handle, path.c_str(), false, OPEN_EXISTING)), E_EOPEN);
  EXPECT_FALSE(handle.image.HasFile());

  EXPECT_TRUE(dir.Has("old.tap"));
  EXPECT_EQ(HostCode(OpenImage(handle, dir.Path("missing.tap").c_str(), false, OPEN_EXISTING)), E_EOPEN);
}

TEST_F(ArchiveHandleTest, FailedOpenRemovesOnlyAnImageItCreated) {
  const std::string path = dir.Write("old.tap", "x");
  platform_test::FailCall(Fault::GetFileTime, 1);
  EXPECT_EQ(HostCode(OpenImage(handle, path.c_str(), true, OPEN_ALWAYS)), E_EOPEN);
  EXPECT_FALSE(handle.image.HasFile());
  EXPECT_EQ(dir.Read("old.tap"), "x");

  const std::string fresh = dir.Path("new.tap");
  platform_test::FailCall(Fault::GetFileTime, 1);
  EXPECT_EQ(HostCode(OpenImage(handle, fresh.c_str(), true, OPEN_ALWAYS)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));
  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_EQ(HostCode(OpenImage(handle, fresh.c_str(), true, OPEN_ALWAYS)), E_EOPEN);
  EXPECT_FALSE(dir.Has("new.tap"));

  // Once open, the image is never deleted by a close.
  ASSERT_TRUE(OpenImage(handle, fresh.c_str(), true, OPEN_ALWAYS).IsOk());
  EXPECT_TRUE(handle.image.created);
  EXPECT_TRUE(handle.image.Close(false).IsOk());
  EXPECT_TRUE(dir.Has("new.tap"));
}

TEST_F(ArchiveHandleTest, DosDateTimeIsInLocalTime) {
  const FILETIME lateIn1979 = UtcFileTime(1979, 12, 31, 23, 0, 0);
  EXPECT_EQ(ToDosDateTime(lateIn1979), 0u);
  TimeZoneScope east("XYZ-3");
  EXPECT_EQ(ToDosDateTime(lateIn1979), ((0u << 9 | 1 << 5 | 1) << 16) | (2u << 11));
}

TEST_F(ArchiveHandleTest, ReleasingAZeroHandleLeavesItZero) {
  ReleaseHandle(handle);
  EXPECT_TRUE(IsAllZero(handle));
}

TEST_F(ArchiveHandleTest, ReleasingAFilledHandleFreesEverythingAndClosesTheImage) {
  const std::string path = dir.Write("a.tap", "abc");
  ASSERT_TRUE(OpenImage(handle, path.c_str(), false, OPEN_EXISTING).IsOk());
  for (int i = 0; i < 3; ++i) {
    auto* entry = static_cast<TapeEntry*>(MemAlloc(sizeof(TapeEntry)));
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(handle.entries.Add(entry).IsOk());
  }
  ASSERT_TRUE(handle.listedNames.Append("a.C", 4).IsOk());
  handle.namedEntries = 1;
  handle.cursor = 2;
  ReleaseHandle(handle);
  EXPECT_TRUE(IsAllZero(handle));
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  CloseHandle(writer);
}

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
