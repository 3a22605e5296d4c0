// What the host makes of a header's time and attributes differs between the
// file managers: Total Commander reads a DOS date and time and Windows file
// attributes, Double Commander on Linux a Unix time and a file mode.
#pragma once

#include "plugin/archive_handle.h"

#ifdef _WIN32
inline int HostFileTime(const ArchiveHandle& handle) { return static_cast<int>(handle.times.dosDateTime); }
inline int HostFileAttr() { return 0; }
#else
inline int HostFileTime(const ArchiveHandle& handle) {
  constexpr std::uint64_t unixEpoch = 116444736000000000ULL;  // 1970-01-01 as a file time
  const std::uint64_t time = handle.times.lastWrite;
  return time <= unixEpoch ? 0 : static_cast<int>((time - unixEpoch) / 10000000ULL);
}
inline int HostFileAttr() { return 0100644; }  // a regular file, rw-r--r--
#endif
