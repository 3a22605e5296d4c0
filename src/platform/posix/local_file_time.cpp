#include <time.h>

#include <cstdint>

#include "platform/posix/files.h"
#include "platform/posix/process.h"

// Like Windows, the offset in force now is applied to every time, whatever
// offset was in force at that time.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  constexpr std::int64_t TicksPerSecond = 10000000;
  tzset();
  const time_t now = time(nullptr);
  tm local{};
  const std::int64_t offset = localtime_r(&now, &local) != nullptr ? local.tm_gmtoff * TicksPerSecond : 0;
  const std::uint64_t ticks = (static_cast<std::uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  const bool inRange = ticks <= static_cast<std::uint64_t>(INT64_MAX) &&
                       (offset >= 0 ? static_cast<std::int64_t>(ticks) <= INT64_MAX - offset
                                    : static_cast<std::int64_t>(ticks) >= -offset);
  if (!inRange) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto shifted = static_cast<std::uint64_t>(static_cast<std::int64_t>(ticks) + offset);
  localFileTime->dwLowDateTime = static_cast<DWORD>(shifted);
  localFileTime->dwHighDateTime = static_cast<DWORD>(shifted >> 32);
  return TRUE;
}
