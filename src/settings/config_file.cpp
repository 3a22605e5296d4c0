#include "settings/config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/error_report.h"
#include "os/os.h"
#include "settings/params_pattern.h"
#include "settings/setting_rows.h"

namespace {

constexpr const char* Section = "Doved";

using Kind = os::ProfileValue::Kind;

// At most every row has a key of its own.
constexpr std::size_t MaxKeys = SettingCount;

// The value that stands for the row's key in a read or a write of `s`.
os::ProfileValue ValueOf(const SettingRow& row, Settings& s) {
  if (row.bytes != nullptr) return {row.key, Kind::Bytes, 0, row.bytes(s), row.size, false};
  return {row.key, Kind::Number, static_cast<std::uint32_t>(row.get(s)), nullptr, 0, false};
}

// The rows kept under a key of their own, in their order in a new file.
std::uint32_t KeptRows(const SettingRow* (&rows)[MaxKeys]) {
  std::uint32_t count = 0;
  for (const SettingRow& row : SettingRows()) {
    if (row.key != nullptr) rows[count++] = &row;
  }
  std::sort(rows, rows + count, [](const SettingRow* a, const SettingRow* b) { return a->saved < b->saved; });
  return count;
}

// What loading takes of a stored number.
void Take(const SettingRow& row, std::uint32_t stored, Settings& result) {
  const int value = static_cast<int>(stored);
  if (row.storage == Storage::Flag) {
    row.set(result, value != 0);
  } else if (row.outOfRange == OutOfRange::Clamp) {
    row.set(result, std::clamp(value, row.First(), row.Last()));
  } else if (row.Offers(value)) {
    row.set(result, value);
  }
}

// Only the selected pattern must compile; a broken one falls back to the
// same-numbered pattern in force before the load, and when that is broken
// too (it need not have been selected), to the built-in one.
void CompileSelectedPattern(Settings& result, const Settings& defaults) {
  char compiled[PatternSize];
  bool compiles = CompileParamsPattern(SelectedPattern(result), compiled);
  const Settings builtIn = DefaultSettings();
  for (const Settings* fallback : {&defaults, &builtIn}) {
    if (compiles) break;
    std::memcpy(SelectedPattern(result), NumberedPattern(*fallback, result.ParamsPatternN), PatternSize);
    compiles = CompileParamsPattern(SelectedPattern(result), compiled);
  }
  std::memcpy(result.FileNamingMode.CompiledParamsPattern, compiled, PatternSize);
}

void ShowSaveFailure(std::uint32_t error) {
  char reason[256] = "";
  if (error != 0 && os::Os().SystemErrorText(error, reason, sizeof reason) != 0) {
    std::size_t length = std::strlen(reason);
    while (length > 0 && (reason[length - 1] == '\n' || reason[length - 1] == '\r' || reason[length - 1] == ' ')) {
      reason[--length] = '\0';
    }
  }
  char text[sizeof ConfigFilePath + sizeof reason + 128];
  if (!ConfigFilePathFormed) {
    std::snprintf(text, sizeof text, "The settings could not be saved: Doved cannot tell where Doved.cfg belongs.");
  } else {
    std::snprintf(text, sizeof text, "The settings could not be saved to\n%s%s%s\n\nThey apply until the file manager is closed.",
                  ConfigFilePath, *reason != '\0' ? "\n\n" : "", reason);
  }
  ShowError(text);
}

}  // namespace

Settings LoadSettings() {
  Settings defaults;
  GetSettings(defaults);
  Settings result = defaults;

  Settings read = defaults;  // what the file holds lands here first
  const SettingRow* rows[MaxKeys];
  const std::uint32_t count = KeptRows(rows);
  os::ProfileValue values[MaxKeys];
  for (std::uint32_t i = 0; i < count; ++i) values[i] = ValueOf(*rows[i], read);
  os::Os().ReadProfile(ConfigFilePath, Section, values, count);

  for (std::uint32_t i = 0; i < count; ++i) {
    const SettingRow& row = *rows[i];
    switch (row.storage) {
      case Storage::Text:
        if (values[i].found) std::memcpy(row.bytes(result), row.bytes(read), row.size);
        // A stored text without its NUL is cut to fit.
        static_cast<char*>(row.bytes(result))[row.size - 1] = '\0';
        break;
      case Storage::NamingGroup:
        if (values[i].found && read.FileNamingMode.FileNamingModeVersion == NamingModeVersion) {
          result.FileNamingMode = read.FileNamingMode;
        }
        break;
      default:
        Take(row, values[i].number, result);
        break;
    }
  }
  CompileSelectedPattern(result, defaults);
  return result;
}

bool SaveSettings(const Settings& settings, std::uint32_t* error) {
  if (error != nullptr) *error = 0;
  // After a failed attach ConfigFilePath names the module itself.
  if (!ConfigFilePathFormed) return false;
  Settings s = settings;
  s.FileNamingMode.FileNamingModeVersion = NamingModeVersion;
  const SettingRow* rows[MaxKeys];
  const std::uint32_t count = KeptRows(rows);
  os::ProfileValue values[MaxKeys];
  for (std::uint32_t i = 0; i < count; ++i) values[i] = ValueOf(*rows[i], s);
  const std::uint32_t failure = os::Os().WriteProfile(ConfigFilePath, Section, values, count);
  if (error != nullptr) *error = failure;
  return failure == 0;
}

void ConfirmSettings(const Settings& accepted) {
  SetSettings(accepted);
  std::uint32_t error;
  if (!SaveSettings(accepted, &error)) ShowSaveFailure(error);
}
