// What the host makes of a header's time and attributes differs between the
// file managers: Total Commander reads a DOS date and time and Windows file
// attributes, Double Commander on Linux a Unix time and a file mode.
#pragma once

#include <climits>

#include "plugin/archive_handle.h"

#ifdef _WIN32
inline int HostFileTime(const ArchiveHandle& handle) { return static_cast<int>(handle.times.dosDateTime); }
inline int HostFileAttr() { return 0; }
#else
// Unix seconds in the host's int field: times before 1970 give 0, times past
// its end the last second it holds.
inline int HostFileTime(const ArchiveHandle& handle) {
  constexpr std::uint64_t unixEpoch = 116444736000000000ULL;  // 1970-01-01 as a file time
  const std::uint64_t time = handle.times.lastWrite;
  if (time <= unixEpoch) return 0;
  const std::uint64_t seconds = (time - unixEpoch) / 10000000ULL;
  return seconds > INT_MAX ? INT_MAX : static_cast<int>(seconds);
}
inline int HostFileAttr() { return 0100644; }  // a regular file, rw-r--r--
#endif
