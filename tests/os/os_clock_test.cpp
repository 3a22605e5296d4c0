#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <cstdint>

#include "helpers/file_time_helpers.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second, std::uint64_t extra = 0) {
  return Os.LocalDosDateTime(UtcFileTime(year, month, day, hour, minute, second, extra));
}

constexpr std::uint32_t DosOf(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day) << 16 |
         static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
}

TEST(OsClockTest, DosDatesCoverExactly1980To2107) {
  TimeZoneScope zone("UTC0");
  EXPECT_EQ(Dos(1979, 12, 31, 23, 59, 59, 9999999), 0u);
  EXPECT_EQ(Dos(1980, 1, 1, 0, 0, 0), 0x00210000u);
  EXPECT_EQ(Dos(2107, 12, 31, 23, 59, 59, 9999999), 0xFF9FBF7Du);
  EXPECT_EQ(Dos(2108, 1, 1, 0, 0, 0), 0u);
  EXPECT_EQ(Os.LocalDosDateTime(0), 0u);
  // A leap day and an odd second with a fraction: down to the even second.
  EXPECT_EQ(Dos(2024, 2, 29, 13, 45, 31, 9000000), DosOf(2024, 2, 29, 13, 45, 30));
}

TEST(OsClockTest, DosDatesAreInTheZoneOfTheMoment) {
  {
    TimeZoneScope zone("XYZ-3");  // three hours east of UTC
    EXPECT_EQ(Dos(1979, 12, 31, 22, 0, 0), DosOf(1980, 1, 1, 1, 0, 0));
    EXPECT_EQ(Dos(2107, 12, 31, 21, 0, 0), 0u);
  }
  {
    TimeZoneScope zone("XYZ5");
    EXPECT_EQ(Dos(1980, 1, 1, 3, 0, 0), 0u);
    EXPECT_EQ(Dos(2000, 6, 1, 12, 0, 0), DosOf(2000, 6, 1, 7, 0, 0));
  }
  {
    // Summer time where the zone has it: the offset of that date, not of today.
    TimeZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(Dos(2020, 1, 15, 12, 0, 0), DosOf(2020, 1, 15, 13, 0, 0));
    EXPECT_EQ(Dos(2020, 7, 15, 12, 0, 0), DosOf(2020, 7, 15, 14, 0, 0));
  }
}

// Now counts from 1601 in 100 ns units: it agrees with time() to the second.
TEST(OsClockTest, NowIsTheSystemTimeAsAFileTime) {
  const time_t before = time(nullptr);
  const os::FileTime now = Os.Now();
  const time_t after = time(nullptr);
  const auto seconds = static_cast<std::int64_t>(now / 10000000) - SecondsTo1970;
  EXPECT_GE(seconds, before - 1);
  EXPECT_LE(seconds, after + 1);
}

// Counter counts nanoseconds: a pause of 30 ms lies within what it counts,
// and what it counts within the steady clock's view of the same span.
TEST(OsClockTest, CounterCountsNanoseconds) {
  const auto outerStart = std::chrono::steady_clock::now();
  const std::uint64_t start = Os.Counter();
  Os.Sleep(30);
  const std::uint64_t end = Os.Counter();
  const auto outer = std::chrono::steady_clock::now() - outerStart;
  EXPECT_GE(end - start, 30000000u);
  EXPECT_LE(end - start, static_cast<std::uint64_t>(std::chrono::nanoseconds(outer).count()));
}

}  // namespace
