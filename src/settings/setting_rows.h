// The settings table as the program reads it: one row per setting, with
// how Doved.cfg keeps it, what a change of it means, when its controls take
// input, and its controls, each reached through the row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/control_kind.h"
#include "settings/settings.h"

enum class Storage : std::uint8_t { Flag, Choice, Text, NamingGroup, NamingFlag, NamingChoice };
enum class Effect : std::uint8_t { Quiet, Renames, RenamesThroughPattern };
enum class Enabled : std::uint8_t { Always, UnlessRarev, WithRarev, WithDetectHobeta };
// What loading does with a stored choice that none of its values is.
enum class OutOfRange : std::uint8_t { Clamp, Ignore, Kept };

// A control that shows a setting; a radio button with the value it stands for.
struct SettingControl {
  int id;
  FormControlKind kind;
  int value;
};

struct SettingRow {
  Storage storage;
  const char* key;  // null for a setting kept inside the naming group
  int saved;        // the key's place in a new Doved.cfg
  Effect effect;
  Enabled enabled;
  OutOfRange outOfRange;
  std::span<const SettingControl> controls;
  // A flag or choice as a number; a text or the naming group as its bytes.
  int (*get)(const Settings&);
  void (*set)(Settings&, int);
  void* (*bytes)(Settings&);
  std::uint32_t size;  // of the bytes

  bool IsText() const { return storage == Storage::Text; }
  bool IsChoice() const { return storage == Storage::Choice || storage == Storage::NamingChoice; }
  // The value of the first and last radio buttons of a choice.
  int First() const { return controls.front().value; }
  int Last() const { return controls.back().value; }
  // Whether `value` is one the controls stand for.
  bool Offers(int value) const;
  const char* TextOf(const Settings& s) const { return static_cast<const char*>(bytes(const_cast<Settings&>(s))); }
};

#define DOVED_SETTING_NAME(R, field, ...) field,
// The rows by name, in table order.
enum class Setting : std::uint8_t {
  DOVED_SETTINGS(_, DOVED_SETTING_NAME, DOVED_SETTING_NAME, DOVED_SETTING_NAME, DOVED_SETTING_NAME,
                 DOVED_SETTING_NAME, DOVED_SETTING_NAME, _, _, _, _, _, _)
};
#undef DOVED_SETTING_NAME

#define DOVED_SETTING_ONE(...) +1
inline constexpr std::size_t SettingCount =
    0 DOVED_SETTINGS(_, DOVED_SETTING_ONE, DOVED_SETTING_ONE, DOVED_SETTING_ONE, DOVED_SETTING_ONE, DOVED_SETTING_ONE,
                     DOVED_SETTING_ONE, _, _, _, _, _, _);
#undef DOVED_SETTING_ONE

std::span<const SettingRow> SettingRows();
const SettingRow& RowOf(Setting setting);

// A flag's or choice's value as the settings `s` put it in force: 0 for one
// that "Rarev compatible" turns off.
int ValueInForce(const SettingRow& row, const Settings& s);
// Whether the row's controls take input while the controls stand for `s`.
bool ControlsEnabled(const SettingRow& row, const Settings& s);
