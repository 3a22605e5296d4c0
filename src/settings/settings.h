// Every user-adjustable behaviour in one fixed record, always copied whole.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t NamingModeVersion = 6;
inline constexpr std::size_t PatternSize = 200;  // text and NUL
inline constexpr std::size_t SeparatorSize = 9;  // at most 8 characters and NUL

// Stored in the configuration file as one raw block, so its layout is a file format.
struct NamingModeGroup {
  std::uint8_t FileNamingModeVersion;
  std::uint8_t ParamsInDecimal;
  std::uint8_t reserved[2];
  std::int32_t ParamsGap;  // 1, 2 or 3
  char CompiledParamsPattern[PatternSize];
};
static_assert(sizeof(NamingModeGroup) == 208);
static_assert(offsetof(NamingModeGroup, ParamsGap) == 4);
static_assert(offsetof(NamingModeGroup, CompiledParamsPattern) == 8);

struct Settings {
  bool RarevCompatible;
  std::int32_t FileNameNumbering;  // 0 none, 1 hexadecimal, 2 decimal
  char FileNameNumberingSeparator[SeparatorSize];
  bool SmartLenDetect;
  bool DetectHobeta;
  bool ExtractHobeta;
  NamingModeGroup FileNamingMode;
  std::uint8_t ParamsPatternN;  // 1 or 2
  char ParamsPattern1[PatternSize];
  char ParamsPattern2[PatternSize];
};

// Codes that stand for the six tags in a compiled parameter pattern.
enum ParamsTag : char { TagLen = 1, TagStart, TagVars, TagBody, TagFlag, TagAttr };

// The built-in defaults.
Settings DefaultSettings();

// Copies of the settings in force, taken and replaced under one lock.
Settings& GetSettings(Settings& out);
void SetSettings(const Settings& in);
