#include "settings/setting_rows.h"

namespace {

#define DOVED_NO_CONTROL(R, ...)
#define DOVED_CONTROL_CHECK(R, id, ...) {id, FormControlKind::CheckBox, 0},
#define DOVED_CONTROL_RADIO(R, id, value, ...) {id, FormControlKind::RadioButton, static_cast<int>(value)},
#define DOVED_CONTROL_EDIT(R, id, ...) {id, FormControlKind::Edit, 0},
#define DOVED_CONTROL_READ_ONLY_EDIT(R, id, ...) {id, FormControlKind::ReadOnlyEdit, 0},

#define DOVED_CONTROLS(field, ...) constexpr SettingControl field##Controls[] = {__VA_ARGS__};
#define DOVED_CONTROLS_FLAG(R, field, key, saved, value, effect, enabled, ...) DOVED_CONTROLS(field, __VA_ARGS__)
#define DOVED_CONTROLS_CHOICE(R, field, type, key, saved, value, outOfRange, effect, enabled, ...) \
  DOVED_CONTROLS(field, __VA_ARGS__)
#define DOVED_CONTROLS_TEXT(R, field, key, saved, size, value, effect, enabled, ...) DOVED_CONTROLS(field, __VA_ARGS__)
#define DOVED_CONTROLS_NAMING_FLAG(R, field, value, effect, enabled, ...) DOVED_CONTROLS(field, __VA_ARGS__)
#define DOVED_CONTROLS_NAMING_CHOICE(R, field, type, value, effect, enabled, ...) DOVED_CONTROLS(field, __VA_ARGS__)

DOVED_SETTINGS(_, DOVED_CONTROLS_FLAG, DOVED_CONTROLS_CHOICE, DOVED_CONTROLS_TEXT, DOVED_NO_CONTROL,
               DOVED_CONTROLS_NAMING_FLAG, DOVED_CONTROLS_NAMING_CHOICE, DOVED_CONTROL_CHECK, DOVED_CONTROL_RADIO,
               DOVED_CONTROL_EDIT, DOVED_CONTROL_READ_ONLY_EDIT, DOVED_NO_CONTROL, DOVED_NO_CONTROL)

#define DOVED_ROW_FLAG(R, field, key, saved, value, effect, enabled, ...)                                       \
  {Storage::Flag, key, saved, Effect::effect, Enabled::enabled, OutOfRange::Kept, field##Controls,               \
   [](const Settings& s) { return s.field ? 1 : 0; }, [](Settings& s, int v) { s.field = v != 0; }, nullptr, 0},
#define DOVED_ROW_CHOICE(R, field, type, key, saved, value, outOfRange, effect, enabled, ...)                  \
  {Storage::Choice, key, saved, Effect::effect, Enabled::enabled, OutOfRange::outOfRange, field##Controls,      \
   [](const Settings& s) { return static_cast<int>(s.field); },                                                \
   [](Settings& s, int v) { s.field = static_cast<type>(v); }, nullptr, 0},
#define DOVED_ROW_TEXT(R, field, key, saved, size, value, effect, enabled, ...)                                 \
  {Storage::Text, key, saved, Effect::effect, Enabled::enabled, OutOfRange::Kept, field##Controls, nullptr,     \
   nullptr, [](Settings& s) -> void* { return s.field; }, size},
#define DOVED_ROW_NAMING_GROUP(R, field, key, saved)                                                           \
  {Storage::NamingGroup, key, saved, Effect::Quiet, Enabled::Always, OutOfRange::Kept, {}, nullptr, nullptr,     \
   [](Settings& s) -> void* { return &s.field; }, sizeof(NamingModeGroup)},
#define DOVED_ROW_NAMING_FLAG(R, field, value, effect, enabled, ...)                                           \
  {Storage::NamingFlag, nullptr, 0, Effect::effect, Enabled::enabled, OutOfRange::Kept, field##Controls,         \
   [](const Settings& s) { return s.FileNamingMode.field != 0 ? 1 : 0; },                                      \
   [](Settings& s, int v) { s.FileNamingMode.field = v != 0 ? 1 : 0; }, nullptr, 0},
#define DOVED_ROW_NAMING_CHOICE(R, field, type, value, effect, enabled, ...)                                   \
  {Storage::NamingChoice, nullptr, 0, Effect::effect, Enabled::enabled, OutOfRange::Kept, field##Controls,       \
   [](const Settings& s) { return static_cast<int>(s.FileNamingMode.field); },                                 \
   [](Settings& s, int v) { s.FileNamingMode.field = static_cast<type>(v); }, nullptr, 0},

constexpr SettingRow Rows[] = {DOVED_SETTINGS(_, DOVED_ROW_FLAG, DOVED_ROW_CHOICE, DOVED_ROW_TEXT,
                                              DOVED_ROW_NAMING_GROUP, DOVED_ROW_NAMING_FLAG, DOVED_ROW_NAMING_CHOICE,
                                              _, _, _, _, _, _)};

}  // namespace

bool SettingRow::Offers(int value) const {
  for (const SettingControl& control : controls) {
    if (control.value == value) return true;
  }
  return false;
}

std::span<const SettingRow> SettingRows() { return Rows; }

const SettingRow& RowOf(Setting setting) { return Rows[static_cast<std::size_t>(setting)]; }

int ValueInForce(const SettingRow& row, const Settings& s) {
  if (row.enabled == Enabled::UnlessRarev && s.RarevCompatible) return 0;
  return row.get(s);
}

bool ControlsEnabled(const SettingRow& row, const Settings& s) {
  switch (row.enabled) {
    case Enabled::UnlessRarev:
      return !s.RarevCompatible;
    case Enabled::WithRarev:
      return s.RarevCompatible;
    case Enabled::WithDetectHobeta:
      return s.DetectHobeta;
    case Enabled::Always:
      break;
  }
  return true;
}

Numbering NumberingInForce(const Settings& s) {
  return static_cast<Numbering>(ValueInForce(RowOf(Setting::FileNameNumbering), s));
}

bool ExtractHobetaInForce(const Settings& s) { return ValueInForce(RowOf(Setting::ExtractHobeta), s) != 0; }
