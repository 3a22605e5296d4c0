#include "file/dos_date_time.h"

#include "os/os.h"

namespace {

constexpr std::uint32_t DosDate(std::uint32_t year, std::uint32_t month, std::uint32_t day) {
  return (year - 1980) << 9 | month << 5 | day;
}
constexpr std::uint32_t DosTime(std::uint32_t hour, std::uint32_t minute, std::uint32_t second) {
  return hour << 11 | minute << 5 | second / 2;
}

constexpr std::uint32_t EarliestDosDateTime = DosDate(1980, 1, 1) << 16 | DosTime(0, 0, 0);
constexpr std::uint32_t LatestDosDateTime = DosDate(2107, 12, 31) << 16 | DosTime(23, 59, 58);
// 2000-01-01 00:00 UTC: a time without DOS form lies far to one side of it.
constexpr std::uint64_t MidDosRange = 125911584000000000ULL;

}  // namespace

std::uint32_t ToDosDateTime(std::uint64_t time) { return os::Os().LocalDosDateTime(time); }

std::uint32_t NearestDosDateTime(std::uint64_t time) {
  const std::uint32_t exact = ToDosDateTime(time);
  if (exact != 0) return exact;
  return time < MidDosRange ? EarliestDosDateTime : LatestDosDateTime;
}
