#include "settings/config_form.h"

#include <array>
#include <cstring>

#include "settings/config_file.h"
#include "settings/params_pattern.h"
#include "settings/setting_rows.h"

const char AboutBanner[] =
    "Doved " DOVED_VERSION
    "\n\nLists, extracts, packs and deletes the files of ZX Spectrum TAP and TZX tape images"
    "\n\nMade by the Doved project";

namespace {

constexpr char InvalidPatternNotice[] = "\nInvalid file name pattern!";
constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";

#define DOVED_TEMPLATE_CONTROL(kind, id, ...) FormControl{id, FormControlKind::kind},
constexpr FormControl TemplateRows[] = {DOVED_CONFIG_CONTROLS(DOVED_TEMPLATE_CONTROL)};
#undef DOVED_TEMPLATE_CONTROL

constexpr std::array<FormControl, ConfigForm::ControlCount> MakeControls() {
  std::array<FormControl, ConfigForm::ControlCount> controls{};
  std::size_t count = 0;
  for (const FormControl& row : TemplateRows) {
    if (row.id != IDC_STATIC) controls[count++] = row;
  }
  return controls;
}

constexpr std::array<FormControl, ConfigForm::ControlCount> ConfigControls = MakeControls();

// The choices' radio buttons, whose ids follow one another.
std::array<RadioSet, SettingCount> MakeRadioSets(std::size_t& count) {
  std::array<RadioSet, SettingCount> sets{};
  count = 0;
  for (const SettingRow& row : SettingRows()) {
    if (row.IsChoice()) sets[count++] = {row.controls.front().id, row.controls.back().id};
  }
  return sets;
}

// The row that the control `id` shows, or null.
const SettingRow* RowShowing(int id) {
  for (const SettingRow& row : SettingRows()) {
    for (const SettingControl& control : row.controls) {
      if (control.id == id) return &row;
    }
  }
  return nullptr;
}

bool Differs(const SettingRow& row, const Settings& current, const Settings& opened) {
  switch (row.effect) {
    case Effect::Renames:
      return row.IsText() ? std::strncmp(row.TextOf(current), row.TextOf(opened), row.size) != 0
                          : ValueInForce(row, current) != ValueInForce(row, opened);
    case Effect::RenamesThroughPattern:
      return std::strncmp(current.FileNamingMode.CompiledParamsPattern, opened.FileNamingMode.CompiledParamsPattern,
                          PatternSize) != 0;
    case Effect::Quiet:
      break;
  }
  return false;
}

// Changes that rename the entries of images listed afterwards.
bool RenamesEntries(const Settings& current, const Settings& opened) {
  for (const SettingRow& row : SettingRows()) {
    if (Differs(row, current, opened)) return true;
  }
  return false;
}

// A text field of the record, NUL-terminated in every record that was
// loaded or read back; the bound keeps a damaged one from running past it.
void CopyField(char* to, const char* from, std::size_t size) {
  const std::size_t length = strnlen(from, size);
  std::memcpy(to, from, length);
  to[length] = '\0';
}

}  // namespace

ConfigForm::ConfigForm(const Settings& opened) : opened_(opened) {
  for (State& state : states_) {
    state.ticked = false;
    state.enabled = true;
    state.text[0] = '\0';
  }
  for (const SettingRow& row : SettingRows()) {
    for (const SettingControl& control : row.controls) {
      if (control.kind == FormControlKind::CheckBox) SetTicked(control.id, row.get(opened_) != 0);
      if (control.kind == FormControlKind::RadioButton && control.value == row.get(opened_)) Check(control.id);
      if (row.IsText()) CopyField(Find(control.id)->text, row.TextOf(opened_), row.size);
    }
  }
  UpdateControls();
}

std::span<const FormControl> ConfigForm::Controls() { return ConfigControls; }

std::span<const RadioSet> ConfigForm::RadioSets() {
  static std::size_t count = 0;
  static const std::array<RadioSet, SettingCount> sets = MakeRadioSets(count);
  return {sets.data(), count};
}

bool ConfigForm::IsTicked(int id) const {
  const State* state = Find(id);
  return state != nullptr && state->ticked;
}

const char* ConfigForm::Text(int id) const {
  if (id == IDC_MESSAGE) return notice_;
  const FormControlKind kind = KindOf(id);
  if (kind != FormControlKind::Edit && kind != FormControlKind::ReadOnlyEdit) return "";
  return Find(id)->text;
}

bool ConfigForm::IsEnabled(int id) const {
  const State* state = Find(id);
  return state != nullptr && state->enabled;
}

std::size_t ConfigForm::TextLimit(int id) {
  const SettingRow* row = RowShowing(id);
  return row != nullptr && row->IsText() ? row->size - 1 : 0;
}

bool ConfigForm::Tick(int id, bool ticked) {
  if (!open_ || KindOf(id) != FormControlKind::CheckBox) return false;
  SetTicked(id, ticked);
  UpdateControls();
  return true;
}

bool ConfigForm::Select(int id) {
  if (!open_ || KindOf(id) != FormControlKind::RadioButton) return false;
  Check(id);
  UpdateControls();
  return true;
}

bool ConfigForm::Type(int id, const char* text) {
  if (!open_ || KindOf(id) != FormControlKind::Edit) return false;
  CopyField(Find(id)->text, text, TextLimit(id));
  UpdateControls();
  return true;
}

std::optional<Settings> ConfigForm::PressOk() {
  // OK may still arrive while it is disabled, from the keyboard.
  if (!open_ || !IsPatternValid(nullptr)) return std::nullopt;
  Settings accepted;
  ReadControls(accepted);
  open_ = false;
  return accepted;
}

// A choice none of whose radio buttons is selected takes its first value.
Settings& ConfigForm::ReadControls(Settings& out) const {
  out = opened_;
  for (const SettingRow& row : SettingRows()) {
    bool chosen = false;
    for (const SettingControl& control : row.controls) {
      const State& state = *Find(control.id);
      if (control.kind == FormControlKind::CheckBox) row.set(out, state.ticked ? 1 : 0);
      if (control.kind == FormControlKind::RadioButton && state.ticked && !chosen) {
        row.set(out, control.value);
        chosen = true;
      }
      if (row.IsText()) {
        char* field = static_cast<char*>(row.bytes(out));
        std::memset(field, 0, row.size);
        std::memcpy(field, state.text, strnlen(state.text, row.size - 1));
      }
    }
    if (row.IsChoice() && !chosen) row.set(out, row.First());
  }
  CompileParamsPattern(SelectedPattern(out), out.FileNamingMode.CompiledParamsPattern);
  return out;
}

bool ConfigForm::IsPatternValid(const Settings* s) const {
  Settings read;
  if (s == nullptr) s = &ReadControls(read);
  return s->FileNamingMode.CompiledParamsPattern[0] != '\0';
}

void ConfigForm::UpdateControls() {
  Settings current;
  ReadControls(current);
  const bool valid = IsPatternValid(&current);
  notice_ = "";
  if (!valid) {
    notice_ = InvalidPatternNotice;
  } else if (RenamesEntries(current, opened_)) {
    notice_ = RestartNotice;
  }
  for (const SettingRow& row : SettingRows()) {
    for (const SettingControl& control : row.controls) SetEnabled(control.id, ControlsEnabled(row, current));
  }
  SetEnabled(IDC_OK, valid);
}

ConfigForm::State* ConfigForm::Find(int id) {
  for (std::size_t i = 0; i < ControlCount; ++i) {
    if (ConfigControls[i].id == id) return &states_[i];
  }
  return nullptr;
}

const ConfigForm::State* ConfigForm::Find(int id) const { return const_cast<ConfigForm*>(this)->Find(id); }

FormControlKind ConfigForm::KindOf(int id) {
  for (const FormControl& control : ConfigControls) {
    if (control.id == id) return control.kind;
  }
  return FormControlKind::PushButton;
}

void ConfigForm::SetTicked(int id, bool ticked) { Find(id)->ticked = ticked; }

void ConfigForm::SetEnabled(int id, bool enabled) { Find(id)->enabled = enabled; }

// Selects the radio button and clears the others of its choice.
void ConfigForm::Check(int id) {
  const SettingRow* row = RowShowing(id);
  if (row == nullptr) return;
  for (const SettingControl& control : row->controls) SetTicked(control.id, control.id == id);
}

const char* AboutText(int id) {
  switch (id) {
    case IDC_ABOUT_TEXT:
      return AboutBanner;
    case IDC_CONFIG_PATH:
      return ConfigFilePath;
    default:
      return "";
  }
}
