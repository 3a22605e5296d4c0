// File times (100 ns units since 1601-01-01 UTC) and POSIX times.
#pragma once

#include <time.h>

#include <cstdint>

#include "os/os.h"

namespace os::posix {

constexpr std::uint64_t TicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t SecondsTo1970 = 11644473600LL;

// 0 (none) for a time before 1601 or beyond the range of FileTime.
inline FileTime FileTimeOf(std::int64_t seconds, long nanoseconds) {
  constexpr std::int64_t LastSecond = static_cast<std::int64_t>(UINT64_MAX / TicksPerSecond) - SecondsTo1970 - 1;
  if (seconds < -SecondsTo1970 || seconds > LastSecond) return 0;
  return static_cast<FileTime>(seconds + SecondsTo1970) * TicksPerSecond + static_cast<FileTime>(nanoseconds) / 100;
}

inline timespec TimespecOf(FileTime time) {
  timespec result;
  result.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time / TicksPerSecond) - SecondsTo1970);
  result.tv_nsec = static_cast<long>(time % TicksPerSecond) * 100;
  return result;
}

}  // namespace os::posix
