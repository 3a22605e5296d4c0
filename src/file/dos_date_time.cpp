#include "file/dos_date_time.h"

std::uint32_t ToDosDateTime(const FILETIME& time) {
  FILETIME local;
  WORD date;
  WORD dosTime;
  if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToDosDateTime(&local, &date, &dosTime)) return 0;
  return (static_cast<std::uint32_t>(date) << 16) | dosTime;
}
