// Tests of the settings share process-wide state: the settings in force and
// the configuration file path. This fixture gives each test the defaults and a
// Doved.cfg of its own, and puts everything back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "helpers/dir_listing.h"
#include "helpers/fault_os.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "settings/config_file.h"
#include "settings/settings.h"

// Field by field, so padding plays no part.
inline bool SameSettings(const Settings& a, const Settings& b) {
  const NamingModeGroup& x = a.FileNamingMode;
  const NamingModeGroup& y = b.FileNamingMode;
  return a.RarevCompatible == b.RarevCompatible && a.FileNameNumbering == b.FileNameNumbering &&
         std::memcmp(a.FileNameNumberingSeparator, b.FileNameNumberingSeparator, SeparatorSize) == 0 &&
         a.SmartLenDetect == b.SmartLenDetect && a.DetectHobeta == b.DetectHobeta &&
         a.ExtractHobeta == b.ExtractHobeta && x.FileNamingModeVersion == y.FileNamingModeVersion &&
         x.ParamsInDecimal == y.ParamsInDecimal && std::memcmp(x.reserved, y.reserved, sizeof x.reserved) == 0 &&
         x.ParamsGap == y.ParamsGap && std::memcmp(x.CompiledParamsPattern, y.CompiledParamsPattern, PatternSize) == 0 &&
         a.ParamsPatternN == b.ParamsPatternN && std::memcmp(a.ParamsPattern1, b.ParamsPattern1, PatternSize) == 0 &&
         std::memcmp(a.ParamsPattern2, b.ParamsPattern2, PatternSize) == 0;
}

// Fills a whole text field: `text`, then NULs to the end.
template <size_t N>
void SetText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::memcpy(field, text, std::min(std::strlen(text), N));
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(savedPath_, ConfigFilePath, sizeof savedPath_);
    savedFormed_ = ConfigFilePathFormed;
    std::snprintf(ConfigFilePath, sizeof ConfigFilePath, "%s", config.c_str());
    ConfigFilePathFormed = true;
  }

  void TearDown() override {
    std::memcpy(ConfigFilePath, savedPath_, sizeof savedPath_);
    ConfigFilePathFormed = savedFormed_;
  }

  static Settings Current() {
    Settings settings;
    return GetSettings(settings);
  }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  std::string config = dir.Path("Doved.cfg");

 private:
  SettingsScope settings_{DefaultSettings()};
  char savedPath_[sizeof ConfigFilePath];
  bool savedFormed_;
};
