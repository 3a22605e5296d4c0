#include "settings/settings.h"

#include <atomic>

#include "os/os.h"

namespace {

constexpr void CopyText(char* to, const char* text) {
  while ((*to++ = *text++) != '\0') {
  }
}

#define DOVED_DEFAULT_FLAG(R, field, key, saved, value, ...) s.field = value;
#define DOVED_DEFAULT_CHOICE(R, field, type, key, saved, value, ...) s.field = value;
#define DOVED_DEFAULT_TEXT(R, field, key, saved, size, value, ...) CopyText(s.field, value);
#define DOVED_DEFAULT_NAMING_GROUP(R, field, ...) s.field.FileNamingModeVersion = NamingModeVersion;
#define DOVED_DEFAULT_NAMING_FLAG(R, field, value, ...) s.FileNamingMode.field = value;
#define DOVED_DEFAULT_NAMING_CHOICE(R, field, type, value, ...) s.FileNamingMode.field = value;

constexpr Settings MakeDefaults() {
  Settings s{};
  DOVED_SETTINGS(_, DOVED_DEFAULT_FLAG, DOVED_DEFAULT_CHOICE, DOVED_DEFAULT_TEXT, DOVED_DEFAULT_NAMING_GROUP,
                 DOVED_DEFAULT_NAMING_FLAG, DOVED_DEFAULT_NAMING_CHOICE, _, _, _, _, _, _)
  return s;
}

constexpr Settings BuiltInDefaults = MakeDefaults();

// Constant-initialised, so it holds the defaults before any start-up code runs.
constinit Settings CurrentSettings = BuiltInDefaults;

// Held for one whole-record copy and nothing else, so spinning is cheap.
constinit std::atomic_flag SettingsLock{};

void Lock() {
  while (SettingsLock.test_and_set(std::memory_order_acquire)) os::Os().Sleep(0);
}

void Unlock() { SettingsLock.clear(std::memory_order_release); }

}  // namespace

Settings DefaultSettings() { return BuiltInDefaults; }

Settings& GetSettings(Settings& out) {
  Lock();
  out = CurrentSettings;
  Unlock();
  return out;
}

void SetSettings(const Settings& in) {
  Lock();
  CurrentSettings = in;
  Unlock();
}
