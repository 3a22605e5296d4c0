#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdlib>
#include <utility>

#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"
#include "platform/windows_api.h"

namespace {

using platform_test::Fault;

class FileTimesTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::ResetAll(); }
  void TearDown() override { platform_test::ResetAll(); }

  HANDLE Open(const std::string& name, bool writable) {
    return CreateFileA(dir.Path(name).c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0),
                       writable ? 0 : FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  }
  ScratchDir dir;
};

TEST_F(FileTimesTest, CreationAndLastWriteTimesRoundTripExactly) {
  // The extraction time code of a headerless entry, and a write time with 100-ns digits.
  const FILETIME creation = FileTimeOfTicks(0x01AD8BEBB50D6200ULL);
  const FILETIME lastWrite = UtcFileTime(2021, 3, 4, 5, 6, 7, 1234567);
  HANDLE h = Open("f", true);
  ASSERT_TRUE(SetFileTime(h, &creation, nullptr, &lastWrite));
  CloseHandle(h);

  h = Open("f", false);
  FILETIME readCreation{};
  FILETIME readWrite{};
  ASSERT_TRUE(GetFileTime(h, &readCreation, nullptr, &readWrite));
  EXPECT_EQ(TicksOf(readCreation), TicksOf(creation));
  EXPECT_EQ(TicksOf(readWrite), TicksOf(lastWrite));
  EXPECT_FALSE(SetFileTime(h, &creation, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(h);

  // Kept with the file, where copy tools that carry extended attributes find it.
  unsigned char stored[8] = {};
  ASSERT_EQ(getxattr(dir.Path("f").c_str(), "user.doved.creation_time", stored, sizeof stored), 8);
  EXPECT_EQ(stored[0], 0x00);
  EXPECT_EQ(stored[1], 0x62);
  EXPECT_EQ(stored[7], 0x01);
}

TEST_F(FileTimesTest, NullAndZeroTimesAreLeftAloneAndOldTimesSurvive) {
  const FILETIME creation = UtcFileTime(1981, 6, 2, 0, 0, 0, 100000);
  const FILETIME before1970 = UtcFileTime(1969, 12, 31, 23, 59, 59, 5);
  HANDLE h = Open("f", true);
  ASSERT_TRUE(SetFileTime(h, &creation, nullptr, &before1970));
  const FILETIME zero{};
  ASSERT_TRUE(SetFileTime(h, &zero, nullptr, &zero));
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, nullptr));
  FILETIME readCreation{};
  FILETIME readWrite{};
  ASSERT_TRUE(GetFileTime(h, &readCreation, nullptr, &readWrite));
  EXPECT_EQ(TicksOf(readCreation), TicksOf(creation));
  EXPECT_EQ(TicksOf(readWrite), TicksOf(before1970));
  CloseHandle(h);
}

TEST_F(FileTimesTest, WithoutAStoredTimeTheBirthTimeOrZeroIsReported) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  HANDLE h = Open("f", true);
  FILETIME creation{};
  ASSERT_TRUE(GetFileTime(h, &creation, nullptr, nullptr));
  CloseHandle(h);
  if (TicksOf(creation) != 0) {
    const std::int64_t difference = static_cast<std::int64_t>(TicksOf(creation) - TicksOf(now));
    EXPECT_LT(std::llabs(difference), 10LL * 10000000);
  }
}

TEST_F(FileTimesTest, InjectedFailuresChangeNothing) {
  const FILETIME first = UtcFileTime(2000, 1, 1, 0, 0, 0);
  const FILETIME second = UtcFileTime(2010, 1, 1, 0, 0, 0);
  HANDLE h = Open("f", true);
  ASSERT_TRUE(SetFileTime(h, &first, nullptr, &first));
  platform_test::FailCall(Fault::SetFileTime, 1);
  EXPECT_FALSE(SetFileTime(h, &second, nullptr, &second));
  FILETIME creation{};
  FILETIME lastWrite{};
  platform_test::FailCall(Fault::GetFileTime, 1);
  EXPECT_FALSE(GetFileTime(h, &creation, nullptr, &lastWrite));
  ASSERT_TRUE(GetFileTime(h, &creation, nullptr, &lastWrite));
  EXPECT_EQ(TicksOf(creation), TicksOf(first));
  EXPECT_EQ(TicksOf(lastWrite), TicksOf(first));
  CloseHandle(h);
}

// The DOS form of a time that is already local.
std::pair<WORD, WORD> Dos(const FILETIME& time) {
  WORD date = 0;
  WORD clock = 0;
  EXPECT_TRUE(FileTimeToDosDateTime(&time, &date, &clock));
  return {date, clock};
}

bool HasDosForm(const FILETIME& time) {
  WORD date = 0;
  WORD clock = 0;
  return FileTimeToDosDateTime(&time, &date, &clock) != FALSE;
}

TEST(DosDateTimeTest, RangeAndTwoSecondSteps) {
  EXPECT_EQ(Dos(UtcFileTime(1980, 1, 1, 0, 0, 0)), std::make_pair(WORD{0x0021}, WORD{0}));
  EXPECT_FALSE(HasDosForm(UtcFileTime(1979, 12, 31, 23, 59, 58)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Dos(UtcFileTime(2107, 12, 31, 23, 59, 58)), std::make_pair(WORD{0xFF9F}, WORD{0xBF7D}));
  EXPECT_EQ(Dos(UtcFileTime(2107, 12, 31, 23, 59, 59, 9999999)), std::make_pair(WORD{0xFF9F}, WORD{0xBF7D}));
  EXPECT_FALSE(HasDosForm(UtcFileTime(2108, 1, 1, 0, 0, 0)));
  // A leap day and an odd second, with a fraction: rounded down to the even second.
  const WORD leapDay = (44 << 9) | (2 << 5) | 29;
  const WORD clock = (13 << 11) | (45 << 5) | 15;
  EXPECT_EQ(Dos(UtcFileTime(2024, 2, 29, 13, 45, 31, 9000000)), std::make_pair(leapDay, clock));
  EXPECT_EQ(Dos(UtcFileTime(2024, 2, 29, 13, 45, 30)), std::make_pair(leapDay, clock));
}

TEST(LocalFileTimeTest, AppliesTheZoneOffsetInForceNow) {
  const FILETIME utc = UtcFileTime(2000, 6, 1, 12, 0, 0);
  FILETIME local{};
  {
    TimeZoneScope zone("XYZ-3");  // three hours east of UTC
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(TicksOf(local), TicksOf(UtcFileTime(2000, 6, 1, 15, 0, 0)));
  }
  {
    TimeZoneScope zone("XYZ5");
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(TicksOf(local), TicksOf(UtcFileTime(2000, 6, 1, 7, 0, 0)));
    const FILETIME earliest = FileTimeOfTicks(1);
    EXPECT_FALSE(FileTimeToLocalFileTime(&earliest, &local));
  }
}

}  // namespace
