// The clock: system time, a monotonic counter, sleeping, and DOS dates.
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <cstdint>

#include "os/posix/file_time.h"
#include "os/posix/methods.h"

namespace os::posix {

FileTime Now() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return FileTimeOf(now.tv_sec, now.tv_nsec);
}

// Nanoseconds on a clock that never steps back.
std::uint64_t Counter() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

// Sleep(0) gives up the rest of the time slice, as on Windows.
void Sleep(std::uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

// The local time at `time` with the zone's rules for that moment (TZ is
// read again on every call); the fraction of a second is dropped and DOS
// counts seconds in twos.
std::uint32_t LocalDosDateTime(FileTime time) {
  const time_t seconds = static_cast<time_t>(static_cast<std::int64_t>(time / TicksPerSecond) - SecondsTo1970);
  tzset();
  tm local;
  if (localtime_r(&seconds, &local) == nullptr) return 0;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return 0;
  const auto date = static_cast<std::uint32_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  const auto clock = static_cast<std::uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  return date << 16 | clock;
}

}  // namespace os::posix
