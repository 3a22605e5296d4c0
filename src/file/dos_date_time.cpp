#include "file/dos_date_time.h"

#include "base/file_time.h"

std::uint32_t ToDosDateTime(std::uint64_t time) {
  const FILETIME utc = ToFileTime(time);
  FILETIME local;
  WORD date;
  WORD dosTime;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &dosTime)) return 0;
  return (static_cast<std::uint32_t>(date) << 16) | dosTime;
}
