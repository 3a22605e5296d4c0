#include "settings/config_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "os/os.h"
#include "settings/params_pattern.h"

namespace {

constexpr const char* Section = "Doved";

bool ReadFlag(const char* key, bool current) {
  return os::Os().ProfileInt(Section, key, current ? 1 : 0, ConfigFilePath) != 0;
}

int ReadInt(const char* key, int current) {
  return static_cast<int>(os::Os().ProfileInt(Section, key, current, ConfigFilePath));
}

bool ReadStruct(const char* key, void* field, std::uint32_t size) {
  return os::Os().ProfileStruct(Section, key, field, size, ConfigFilePath);
}

void WriteNumber(const char* key, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", value);
  os::Os().WriteProfileString(Section, key, text, ConfigFilePath);
}

void WriteStruct(const char* key, const void* field, std::uint32_t size) {
  os::Os().WriteProfileStruct(Section, key, field, size, ConfigFilePath);
}

}  // namespace

Settings LoadSettings() {
  Settings defaults;
  GetSettings(defaults);
  Settings result = defaults;

  result.RarevCompatible = ReadFlag("RarevCompatible", defaults.RarevCompatible);
  result.FileNameNumbering = std::clamp(ReadInt("FileNameNumbering", defaults.FileNameNumbering), 0, 2);
  ReadStruct("FileNameNumberingSeparator", result.FileNameNumberingSeparator, SeparatorSize);
  result.FileNameNumberingSeparator[SeparatorSize - 1] = '\0';
  result.SmartLenDetect = ReadFlag("SmartLenDetect", defaults.SmartLenDetect);
  result.DetectHobeta = ReadFlag("DetectHobeta", defaults.DetectHobeta);
  result.ExtractHobeta = ReadFlag("ExtractHobeta", defaults.ExtractHobeta);
  NamingModeGroup group;
  if (ReadStruct("FileNamingMode", &group, sizeof group) && group.FileNamingModeVersion == NamingModeVersion) {
    result.FileNamingMode = group;
  }
  const int patternN = ReadInt("ParamsPatternN", -1);
  if (patternN == 1 || patternN == 2) result.ParamsPatternN = static_cast<std::uint8_t>(patternN);
  ReadStruct("ParamsPattern1", result.ParamsPattern1, PatternSize);
  result.ParamsPattern1[PatternSize - 1] = '\0';
  ReadStruct("ParamsPattern2", result.ParamsPattern2, PatternSize);
  result.ParamsPattern2[PatternSize - 1] = '\0';

  // Only the selected pattern must compile; a broken one falls back to the
  // same-numbered pattern in force before the load, and when that is broken
  // too (it need not have been selected), to the built-in one.
  const bool second = result.ParamsPatternN == 2;
  char* selected = second ? result.ParamsPattern2 : result.ParamsPattern1;
  char compiled[PatternSize];
  bool compiles = CompileParamsPattern(selected, compiled);
  const Settings builtIn = DefaultSettings();
  const Settings* const fallbacks[] = {&defaults, &builtIn};
  for (const Settings* fallback : fallbacks) {
    if (compiles) break;
    std::memcpy(selected, second ? fallback->ParamsPattern2 : fallback->ParamsPattern1, PatternSize);
    compiles = CompileParamsPattern(selected, compiled);
  }
  std::memcpy(result.FileNamingMode.CompiledParamsPattern, compiled, PatternSize);
  return result;
}

void SaveSettings(const Settings& settings) {
  // After a failed attach ConfigFilePath names the module itself.
  if (!ConfigFilePathFormed) return;
  Settings s = settings;
  s.FileNamingMode.FileNamingModeVersion = NamingModeVersion;
  WriteNumber("RarevCompatible", s.RarevCompatible ? 1 : 0);
  WriteNumber("FileNameNumbering", static_cast<unsigned>(s.FileNameNumbering));
  WriteStruct("FileNameNumberingSeparator", s.FileNameNumberingSeparator, SeparatorSize);
  WriteNumber("SmartLenDetect", s.SmartLenDetect ? 1 : 0);
  WriteNumber("DetectHobeta", s.DetectHobeta ? 1 : 0);
  WriteNumber("ExtractHobeta", s.ExtractHobeta ? 1 : 0);
  WriteStruct("FileNamingMode", &s.FileNamingMode, sizeof s.FileNamingMode);
  WriteNumber("ParamsPatternN", s.ParamsPatternN);
  WriteStruct("ParamsPattern1", s.ParamsPattern1, PatternSize);
  WriteStruct("ParamsPattern2", s.ParamsPattern2, PatternSize);
}

void ConfirmSettings(const Settings& accepted) {
  SetSettings(accepted);
  SaveSettings(accepted);
}
