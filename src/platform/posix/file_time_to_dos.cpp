#include <cstdint>

#include "platform/posix/files.h"
#include "platform/posix/process.h"

namespace {

constexpr std::uint64_t TicksPerSecond = 10000000;
constexpr std::uint64_t SecondsPerDay = 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t DaysTo1970 = 134774;

struct CivilDate {
  std::int64_t year;
  unsigned month;  // 1 to 12
  unsigned day;    // 1 to 31
};

// The proleptic Gregorian date `days` days after 1970-01-01.
CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;  // counted from 0000-03-01
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<std::uint64_t>(days - era * 146097);
  const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
  const auto day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const auto month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

}  // namespace

BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* dosDate, WORD* dosTime) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  const std::uint64_t seconds = ticks / TicksPerSecond;
  const CivilDate date = CivilFromDays(static_cast<std::int64_t>(seconds / SecondsPerDay) - DaysTo1970);
  if (date.year < 1980 || date.year > 2107) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::uint64_t secondOfDay = seconds % SecondsPerDay;
  const auto hour = static_cast<unsigned>(secondOfDay / 3600);
  const auto minute = static_cast<unsigned>(secondOfDay / 60 % 60);
  const auto second = static_cast<unsigned>(secondOfDay % 60);
  *dosDate = static_cast<WORD>((static_cast<unsigned>(date.year - 1980) << 9) | (date.month << 5) | date.day);
  *dosTime = static_cast<WORD>((hour << 11) | (minute << 5) | (second / 2));
  return TRUE;
}
