#include "settings/settings.h"

#include <atomic>

#include "platform/windows_api.h"

namespace {

constexpr int PatternIndent = 30;

constexpr void CopyText(char* to, const char* text) {
  while ((*to++ = *text++) != '\0') {
  }
}

constexpr void IndentedPattern(char* to, const char* text) {
  for (int i = 0; i < PatternIndent; ++i) *to++ = ' ';
  CopyText(to, text);
}

constexpr Settings MakeDefaults() {
  Settings s{};
  s.RarevCompatible = false;
  s.FileNameNumbering = 2;
  CopyText(s.FileNameNumberingSeparator, "!   ");
  s.SmartLenDetect = true;
  s.DetectHobeta = true;
  s.ExtractHobeta = false;
  s.FileNamingMode.FileNamingModeVersion = NamingModeVersion;
  s.FileNamingMode.ParamsInDecimal = 0;
  s.FileNamingMode.ParamsGap = 1;
  s.ParamsPatternN = 1;
  IndentedPattern(s.ParamsPattern1, "<len> <start> <vars> <body> <flag> <attr>");
  IndentedPattern(s.ParamsPattern2, "LEN=<len> STA=<start> VAR=<vars> BOD=<body> FLA=<flag> ATT=<attr>");
  return s;
}

constexpr Settings BuiltInDefaults = MakeDefaults();

// Constant-initialised, so it holds the defaults before any start-up code runs.
constinit Settings CurrentSettings = BuiltInDefaults;

// Held for one whole-record copy and nothing else, so spinning is cheap.
constinit std::atomic_flag SettingsLock{};

void Lock() {
  while (SettingsLock.test_and_set(std::memory_order_acquire)) Sleep(0);
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
