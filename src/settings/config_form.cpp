#include "settings/config_form.h"

#include <cstring>
#include <initializer_list>
#include <iterator>

#include "settings/config_file.h"
#include "settings/dialog_controls.h"
#include "settings/params_pattern.h"

const char AboutBanner[] =
    "Doved " DOVED_VERSION
    "\n\nLists, extracts, packs and deletes the files of ZX Spectrum TAP tape images"
    "\n\nMade by the Doved project";

namespace {

using enum FormControlKind;

constexpr FormControl ConfigControls[] = {
    {IDC_OK, PushButton},
    {IDC_CANCEL, PushButton},
    {IDC_MESSAGE, Notice},
    {IDC_RAREV_COMPATIBLE, CheckBox},
    {IDC_NUMBERING_NONE, RadioButton},
    {IDC_NUMBERING_HEX, RadioButton},
    {IDC_NUMBERING_DEC, RadioButton},
    {IDC_SEPARATOR, ReadOnlyEdit},
    {IDC_EXTRACT_HOBETA, CheckBox},
    {IDC_DETECT_HOBETA, CheckBox},
    {IDC_SMART_LENGTH, CheckBox},
    {IDC_PARAMS_IN_DECIMAL, CheckBox},
    {IDC_PATTERN1, Edit},
    {IDC_PATTERN2, Edit},
    {IDC_SELECT_PATTERN1, RadioButton},
    {IDC_SELECT_PATTERN2, RadioButton},
    {IDC_GAP_ALIGNED, RadioButton},
    {IDC_GAP_VARIABLE_FONT, RadioButton},
    {IDC_GAP_FIXED_FONT, RadioButton},
    {IDC_ABOUT_BUTTON, PushButton},
};

constexpr char InvalidPatternNotice[] = "\nInvalid file name pattern!";
constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";

constexpr int SelectedGapBase = IDC_GAP_ALIGNED - 1;  // gap n is radio base + n

// The sets of radio buttons that the form keeps exclusive, as id ranges.
struct RadioSet {
  int first;
  int last;
};
constexpr RadioSet RadioSets[] = {
    {IDC_NUMBERING_NONE, IDC_NUMBERING_DEC},
    {IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2},
    {IDC_GAP_ALIGNED, IDC_GAP_FIXED_FONT},
};

int EffectiveNumbering(const Settings& s) { return s.RarevCompatible ? 0 : s.FileNameNumbering; }

bool EffectiveExtractHobeta(const Settings& s) { return s.ExtractHobeta && !s.RarevCompatible; }

const char* SelectedPattern(const Settings& s) { return s.ParamsPatternN == 2 ? s.ParamsPattern2 : s.ParamsPattern1; }

// Changes that rename the entries of images already listed.
bool NamesChanged(const Settings& current, const Settings& opened) {
  return current.RarevCompatible != opened.RarevCompatible ||
         EffectiveNumbering(current) != EffectiveNumbering(opened) ||
         std::strncmp(current.FileNameNumberingSeparator, opened.FileNameNumberingSeparator, SeparatorSize) != 0 ||
         current.SmartLenDetect != opened.SmartLenDetect ||
         EffectiveExtractHobeta(current) != EffectiveExtractHobeta(opened);
}

// The check box stands for any non-zero byte that the file may hold.
bool ParamsChanged(const Settings& current, const Settings& opened) {
  const NamingModeGroup& now = current.FileNamingMode;
  const NamingModeGroup& then = opened.FileNamingMode;
  return (now.ParamsInDecimal != 0) != (then.ParamsInDecimal != 0) || now.ParamsGap != then.ParamsGap ||
         std::strncmp(now.CompiledParamsPattern, then.CompiledParamsPattern, PatternSize) != 0;
}

}  // namespace

ConfigForm::ConfigForm(const Settings& opened) : opened_(opened) {
  static_assert(std::size(ConfigControls) == ControlCount);
  for (State& state : states_) {
    state.ticked = false;
    state.enabled = true;
    state.text[0] = '\0';
  }
  SetTicked(IDC_RAREV_COMPATIBLE, opened_.RarevCompatible);
  if (opened_.FileNameNumbering >= 0 && opened_.FileNameNumbering <= 2) {
    Check(IDC_NUMBERING_NONE + opened_.FileNameNumbering);
  }
  ShowField(IDC_SEPARATOR, opened_.FileNameNumberingSeparator);
  SetTicked(IDC_SMART_LENGTH, opened_.SmartLenDetect);
  SetTicked(IDC_DETECT_HOBETA, opened_.DetectHobeta);
  SetTicked(IDC_EXTRACT_HOBETA, opened_.ExtractHobeta);
  SetTicked(IDC_PARAMS_IN_DECIMAL, opened_.FileNamingMode.ParamsInDecimal != 0);
  const int gap = opened_.FileNamingMode.ParamsGap;
  if (gap >= 1 && gap <= 3) Check(SelectedGapBase + gap);
  Check(opened_.ParamsPatternN == 2 ? IDC_SELECT_PATTERN2 : IDC_SELECT_PATTERN1);
  ShowField(IDC_PATTERN1, opened_.ParamsPattern1);
  ShowField(IDC_PATTERN2, opened_.ParamsPattern2);
  UpdateControls();
}

std::span<const FormControl> ConfigForm::Controls() { return ConfigControls; }

bool ConfigForm::IsTicked(int id) const {
  const State* state = Find(id);
  return state != nullptr && state->ticked;
}

const char* ConfigForm::Text(int id) const {
  if (id == IDC_MESSAGE) return notice_;
  const FormControlKind kind = KindOf(id);
  if (kind != Edit && kind != ReadOnlyEdit) return "";
  return Find(id)->text;
}

bool ConfigForm::IsEnabled(int id) const {
  const State* state = Find(id);
  return state != nullptr && state->enabled;
}

std::size_t ConfigForm::TextLimit(int id) {
  switch (id) {
    case IDC_SEPARATOR:
      return SeparatorSize - 1;
    case IDC_PATTERN1:
    case IDC_PATTERN2:
      return PatternSize - 1;
    default:
      return 0;
  }
}

bool ConfigForm::Tick(int id, bool ticked) {
  if (!open_ || KindOf(id) != CheckBox) return false;
  SetTicked(id, ticked);
  UpdateControls();
  return true;
}

bool ConfigForm::Select(int id) {
  if (!open_ || KindOf(id) != RadioButton) return false;
  Check(id);
  UpdateControls();
  return true;
}

bool ConfigForm::Type(int id, const char* text) {
  if (!open_ || KindOf(id) != Edit) return false;
  State* state = Find(id);
  const std::size_t length = strnlen(text, TextLimit(id));
  std::memcpy(state->text, text, length);
  state->text[length] = '\0';
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

Settings& ConfigForm::ReadControls(Settings& out) const {
  out = opened_;
  out.RarevCompatible = IsTicked(IDC_RAREV_COMPATIBLE);
  const int numbering = FirstSelected(IDC_NUMBERING_NONE, IDC_NUMBERING_DEC);
  out.FileNameNumbering = numbering != 0 ? numbering - IDC_NUMBERING_NONE : 0;
  ReadField(IDC_SEPARATOR, out.FileNameNumberingSeparator);
  out.SmartLenDetect = IsTicked(IDC_SMART_LENGTH);
  out.DetectHobeta = IsTicked(IDC_DETECT_HOBETA);
  out.ExtractHobeta = IsTicked(IDC_EXTRACT_HOBETA);
  out.FileNamingMode.ParamsInDecimal = IsTicked(IDC_PARAMS_IN_DECIMAL) ? 1 : 0;
  const int gap = FirstSelected(IDC_GAP_ALIGNED, IDC_GAP_FIXED_FONT);
  out.FileNamingMode.ParamsGap = gap != 0 ? gap - SelectedGapBase : 1;
  ReadField(IDC_PATTERN1, out.ParamsPattern1);
  ReadField(IDC_PATTERN2, out.ParamsPattern2);
  if (IsTicked(IDC_SELECT_PATTERN2)) out.ParamsPatternN = 2;
  if (IsTicked(IDC_SELECT_PATTERN1)) out.ParamsPatternN = 1;
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
  } else if (NamesChanged(current, opened_) || ParamsChanged(current, opened_)) {
    notice_ = RestartNotice;
  }

  const bool rarev = current.RarevCompatible;
  SetEnabled(IDC_EXTRACT_HOBETA, !rarev);
  SetEnabled(IDC_DETECT_HOBETA, true);
  SetEnabled(IDC_SMART_LENGTH, current.DetectHobeta);
  for (const int id : {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC}) SetEnabled(id, !rarev);
  for (const int id : {IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_PATTERN1, IDC_PATTERN2, IDC_PARAMS_IN_DECIMAL,
                       IDC_GAP_ALIGNED, IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT}) {
    SetEnabled(id, rarev);
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
  return PushButton;
}

void ConfigForm::SetTicked(int id, bool ticked) { Find(id)->ticked = ticked; }

void ConfigForm::SetEnabled(int id, bool enabled) { Find(id)->enabled = enabled; }

// Selects the radio button and clears the others of its set.
void ConfigForm::Check(int id) {
  for (const RadioSet& set : RadioSets) {
    if (id < set.first || id > set.last) continue;
    for (int other = set.first; other <= set.last; ++other) SetTicked(other, other == id);
  }
}

// Text fields are NUL-terminated in every record that was loaded or read
// back; the bound keeps a damaged one from running past its field.
template <std::size_t N>
void ConfigForm::ShowField(int id, const char (&field)[N]) {
  static_assert(N <= PatternSize);
  State* state = Find(id);
  const std::size_t length = strnlen(field, N);
  std::memcpy(state->text, field, length);
  state->text[length] = '\0';
}

// At most the characters that the field holds before its NUL.
template <std::size_t N>
void ConfigForm::ReadField(int id, char (&field)[N]) const {
  std::memset(field, 0, N);
  const char* text = Find(id)->text;
  std::memcpy(field, text, strnlen(text, N - 1));
}

int ConfigForm::FirstSelected(int first, int last) const {
  for (int id = first; id <= last; ++id) {
    if (IsTicked(id)) return id;
  }
  return 0;
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
