// File times from calendar dates, the times a file carries, and a time zone
// set for one test. File times count 100 ns units since 1601-01-01 UTC.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <optional>
#include <string>

#include "os/os.h"

// 1601-01-01 to 1970-01-01, in seconds.
constexpr std::int64_t SecondsTo1970 = 11644473600LL;

// A UTC calendar time as a file time, plus `extraTicks` 100-ns units.
inline std::uint64_t UtcFileTime(int year, int month, int day, int hour, int minute, int second,
                                 std::uint64_t extraTicks = 0) {
  tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  const std::int64_t unixSeconds = timegm(&fields);
  return static_cast<std::uint64_t>((unixSeconds + SecondsTo1970) * 10000000LL) + extraTicks;
}

struct FileTimes {
  bool read;  // the file could be opened and its times read
  std::uint64_t creation;
  std::uint64_t lastWrite;
};

// The times of the file at `path`, as the plug-in reads them.
inline FileTimes TimesOf(const std::string& path) {
  bool created;
  os::File* file = os::Native.Open(path.c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
  FileTimes times{};
  if (file == nullptr) return times;
  times.read = os::Native.GetTimes(file, &times.creation, &times.lastWrite);
  os::Native.Close(file);
  return times;
}

// Gives the file at `path` these times (0 leaves one as it is); false when
// it cannot be opened or the times cannot be set.
inline bool SetTimesOf(const std::string& path, std::uint64_t creation, std::uint64_t lastWrite = 0) {
  bool created;
  os::File* file = os::Native.Open(path.c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting, &created);
  if (file == nullptr) return false;
  const bool set = os::Native.SetTimes(file, creation, lastWrite);
  return os::Native.Close(file) && set;
}

// Sets TZ (a POSIX zone such as "UTC0" or "XYZ-3") and restores it
// afterwards. It does not call tzset: the code under test must read the
// zone in force itself, as a host that changes zones expects.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) {
    if (const char* old = getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
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
