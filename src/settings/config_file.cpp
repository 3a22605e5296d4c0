#include "settings/config_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "os/os.h"
#include "settings/params_pattern.h"

namespace {

constexpr const char* Section = "Doved";

using Kind = os::ProfileValue::Kind;

os::ProfileValue Number(const char* key, std::uint32_t value) { return {key, Kind::Number, value, nullptr, 0, false}; }

os::ProfileValue Bytes(const char* key, void* bytes, std::uint32_t size) {
  return {key, Kind::Bytes, 0, bytes, size, false};
}

}  // namespace

Settings LoadSettings() {
  Settings defaults;
  GetSettings(defaults);
  Settings result = defaults;

  NamingModeGroup group;
  os::ProfileValue values[] = {
      Number("RarevCompatible", defaults.RarevCompatible ? 1 : 0),
      Number("FileNameNumbering", static_cast<std::uint32_t>(defaults.FileNameNumbering)),
      Bytes("FileNameNumberingSeparator", result.FileNameNumberingSeparator, SeparatorSize),
      Number("SmartLenDetect", defaults.SmartLenDetect ? 1 : 0),
      Number("DetectHobeta", defaults.DetectHobeta ? 1 : 0),
      Number("ExtractHobeta", defaults.ExtractHobeta ? 1 : 0),
      Bytes("FileNamingMode", &group, sizeof group),
      Number("ParamsPatternN", static_cast<std::uint32_t>(-1)),
      Bytes("ParamsPattern1", result.ParamsPattern1, PatternSize),
      Bytes("ParamsPattern2", result.ParamsPattern2, PatternSize),
  };
  os::Os().ReadProfile(ConfigFilePath, Section, values, std::size(values));
  result.RarevCompatible = values[0].number != 0;
  result.FileNameNumbering = std::clamp(static_cast<int>(values[1].number), 0, 2);
  result.FileNameNumberingSeparator[SeparatorSize - 1] = '\0';
  result.SmartLenDetect = values[3].number != 0;
  result.DetectHobeta = values[4].number != 0;
  result.ExtractHobeta = values[5].number != 0;
  if (values[6].found && group.FileNamingModeVersion == NamingModeVersion) result.FileNamingMode = group;
  const int patternN = static_cast<int>(values[7].number);
  if (patternN == 1 || patternN == 2) result.ParamsPatternN = static_cast<std::uint8_t>(patternN);
  result.ParamsPattern1[PatternSize - 1] = '\0';
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
  const os::ProfileValue values[] = {
      Number("RarevCompatible", s.RarevCompatible ? 1 : 0),
      Number("FileNameNumbering", static_cast<std::uint32_t>(s.FileNameNumbering)),
      Bytes("FileNameNumberingSeparator", s.FileNameNumberingSeparator, SeparatorSize),
      Number("SmartLenDetect", s.SmartLenDetect ? 1 : 0),
      Number("DetectHobeta", s.DetectHobeta ? 1 : 0),
      Number("ExtractHobeta", s.ExtractHobeta ? 1 : 0),
      Bytes("FileNamingMode", &s.FileNamingMode, sizeof s.FileNamingMode),
      Number("ParamsPatternN", s.ParamsPatternN),
      Bytes("ParamsPattern1", s.ParamsPattern1, PatternSize),
      Bytes("ParamsPattern2", s.ParamsPattern2, PatternSize),
  };
  os::Os().WriteProfile(ConfigFilePath, Section, values, std::size(values));
}

void ConfirmSettings(const Settings& accepted) {
  SetSettings(accepted);
  SaveSettings(accepted);
}
