// Every user-adjustable behaviour in one fixed record, always copied whole.
// Its fields and their defaults come from the settings table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings_table.h"

// The number in front of each listed name.
enum class Numbering : std::int32_t { None, Hex, Dec };
// How the gap before the parameters of a Rarev-form name is measured.
enum class GapMode : std::int32_t { Aligned = 1, VariableFont, FixedFont };

inline constexpr std::uint8_t NamingModeVersion = 6;
inline constexpr std::size_t PatternSize = 200;  // text and NUL

// Stored in the configuration file as one raw block, so its layout is a file format.
struct NamingModeGroup {
  std::uint8_t FileNamingModeVersion;
  std::uint8_t ParamsInDecimal;
  std::uint8_t reserved[2];
  GapMode ParamsGap;
  char CompiledParamsPattern[PatternSize];
};
static_assert(sizeof(NamingModeGroup) == 208);
static_assert(offsetof(NamingModeGroup, ParamsGap) == 4);
static_assert(offsetof(NamingModeGroup, CompiledParamsPattern) == 8);

#define DOVED_FIELD_FLAG(R, field, ...) bool field;
#define DOVED_FIELD_CHOICE(R, field, type, ...) type field;
#define DOVED_FIELD_TEXT(R, field, key, saved, size, ...) char field[size];
#define DOVED_FIELD_NAMING_GROUP(R, field, ...) NamingModeGroup field;
#define DOVED_FIELD_NONE(...)

struct Settings {
  DOVED_SETTINGS(_, DOVED_FIELD_FLAG, DOVED_FIELD_CHOICE, DOVED_FIELD_TEXT, DOVED_FIELD_NAMING_GROUP, DOVED_FIELD_NONE,
                 DOVED_FIELD_NONE, _, _, _, _, _, _)
};

#undef DOVED_FIELD_FLAG
#undef DOVED_FIELD_CHOICE
#undef DOVED_FIELD_TEXT
#undef DOVED_FIELD_NAMING_GROUP
#undef DOVED_FIELD_NONE

inline constexpr std::size_t SeparatorSize = sizeof Settings::FileNameNumberingSeparator;  // 8 characters and NUL
static_assert(sizeof Settings::ParamsPattern1 == PatternSize && sizeof Settings::ParamsPattern2 == PatternSize);

// Codes that stand for the six tags in a compiled parameter pattern.
enum ParamsTag : char { TagLen = 1, TagStart, TagVars, TagBody, TagFlag, TagAttr };

// The built-in defaults.
Settings DefaultSettings();

// Copies of the settings in force, taken and replaced under one lock.
Settings& GetSettings(Settings& out);
void SetSettings(const Settings& in);

// What names are formed with: a Rarev-form name carries no number and is
// never a hobeta name, whatever the record holds.
Numbering NumberingInForce(const Settings& s);
bool ExtractHobetaInForce(const Settings& s);
