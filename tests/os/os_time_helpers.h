// File times from calendar dates, and a time zone set for one test; free of
// the Windows types, as the OS interface is.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <optional>
#include <string>

#include "os/os.h"

constexpr std::int64_t SecondsTo1970 = 11644473600LL;

// A UTC calendar time as a file time, plus `extra` 100 ns units.
inline os::FileTime UtcTime(int year, int month, int day, int hour, int minute, int second, std::uint64_t extra = 0) {
  tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  return static_cast<os::FileTime>((timegm(&fields) + SecondsTo1970) * 10000000LL) + extra;
}

// Sets TZ (a POSIX zone such as "UTC0" or "XYZ-3") and restores it
// afterwards. It does not call tzset: the code under test must read the
// zone in force itself.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    if (const char* old = getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
  }
  ~ZoneScope() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;

 private:
  std::optional<std::string> saved_;
};
