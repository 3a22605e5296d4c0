// File times from calendar dates, and a time zone set for one test.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/windows_api.h"

inline std::uint64_t TicksOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline FILETIME FileTimeOfTicks(std::uint64_t ticks) {
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// A UTC calendar time as a FILETIME, plus `extraTicks` 100-ns units.
inline FILETIME UtcFileTime(int year, int month, int day, int hour, int minute, int second,
                            std::uint64_t extraTicks = 0) {
  tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  const std::int64_t unixSeconds = timegm(&fields);
  return FileTimeOfTicks(static_cast<std::uint64_t>((unixSeconds + 11644473600LL) * 10000000LL) + extraTicks);
}

// Sets TZ (a POSIX zone such as "UTC0" or "XYZ-3") and restores it afterwards.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) {
    if (const char* old = getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;
  ~TimeZoneScope() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};
