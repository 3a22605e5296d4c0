#include "settings/config_dialog.h"

#include <cstring>

#include "settings/params_pattern.h"
#include <initializer_list>

namespace {

constexpr char InvalidPatternNotice[] = "\nInvalid file name pattern!";
constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";

constexpr int SelectedGapBase = IDC_GAP_ALIGNED - 1;  // gap n is radio base + n

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

UINT Tick(bool on) { return on ? BST_CHECKED : BST_UNCHECKED; }

// Text fields are NUL-terminated in every record that was loaded or read
// back; the bound keeps a damaged one from running past its field.
template <std::size_t N>
void ShowField(HWND hwnd, int id, const char (&field)[N]) {
  char text[N + 1];
  std::memcpy(text, field, N);
  text[N] = '\0';
  SetDlgItemTextA(hwnd, id, text);
}

template <std::size_t N>
void ReadField(HWND hwnd, int id, char (&field)[N]) {
  std::memset(field, 0, N);
  GetDlgItemTextA(hwnd, id, field, static_cast<int>(N));
}

}  // namespace

bool ConfigDialog::OnInitDialog() {
  if (font == nullptr) {
    font = CreateFontA(0, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
  }
  oldFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_GETFONT, 0, 0));
  SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  LoadControls();
  ready = true;
  UpdateControls();
  return true;
}

void ConfigDialog::LoadControls() {
  CheckDlgButton(hwnd, IDC_RAREV_COMPATIBLE, Tick(settings.RarevCompatible));
  if (settings.FileNameNumbering >= 0 && settings.FileNameNumbering <= 2) {
    CheckRadioButton(hwnd, IDC_NUMBERING_NONE, IDC_NUMBERING_DEC, IDC_NUMBERING_NONE + settings.FileNameNumbering);
  }
  SendDlgItemMessageA(hwnd, IDC_SEPARATOR, EM_LIMITTEXT, SeparatorSize - 1, 0);
  ShowField(hwnd, IDC_SEPARATOR, settings.FileNameNumberingSeparator);
  CheckDlgButton(hwnd, IDC_SMART_LENGTH, Tick(settings.SmartLenDetect));
  CheckDlgButton(hwnd, IDC_DETECT_HOBETA, Tick(settings.DetectHobeta));
  CheckDlgButton(hwnd, IDC_EXTRACT_HOBETA, Tick(settings.ExtractHobeta));
  CheckDlgButton(hwnd, IDC_PARAMS_IN_DECIMAL, Tick(settings.FileNamingMode.ParamsInDecimal != 0));
  const int gap = settings.FileNamingMode.ParamsGap;
  if (gap >= 1 && gap <= 3) CheckRadioButton(hwnd, IDC_GAP_ALIGNED, IDC_GAP_FIXED_FONT, SelectedGapBase + gap);
  CheckRadioButton(hwnd, IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2,
                   settings.ParamsPatternN == 2 ? IDC_SELECT_PATTERN2 : IDC_SELECT_PATTERN1);
  SendDlgItemMessageA(hwnd, IDC_PATTERN1, EM_LIMITTEXT, PatternSize - 1, 0);
  SendDlgItemMessageA(hwnd, IDC_PATTERN2, EM_LIMITTEXT, PatternSize - 1, 0);
  ShowField(hwnd, IDC_PATTERN1, settings.ParamsPattern1);
  ShowField(hwnd, IDC_PATTERN2, settings.ParamsPattern2);
}

bool ConfigDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      // OK may still arrive while it is disabled, from the keyboard.
      if (IsPatternValid(nullptr)) {
        Settings accepted;
        settings = ReadControls(accepted);
        Close(IDOK);
      }
      break;
    case IDCANCEL:
      Close(IDCANCEL);
      break;
    case IDC_ABOUT_BUTTON:
      about.Show(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)), hwnd);
      break;
    case IDC_PATTERN1:
    case IDC_PATTERN2:
      if (HIWORD(wParam) == EN_CHANGE) UpdateControls();
      break;
    // Each of these radio buttons starts a group of its own, so the system
    // does not clear the others.
    case IDC_SELECT_PATTERN1:
    case IDC_SELECT_PATTERN2:
      Select(id, IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2);
      break;
    case IDC_GAP_ALIGNED:
    case IDC_GAP_VARIABLE_FONT:
    case IDC_GAP_FIXED_FONT:
      Select(id, IDC_GAP_ALIGNED, IDC_GAP_FIXED_FONT);
      break;
    case IDC_NUMBERING_NONE:
    case IDC_NUMBERING_HEX:
    case IDC_NUMBERING_DEC:
      Select(id, IDC_NUMBERING_NONE, IDC_NUMBERING_DEC);
      break;
    case IDC_PARAMS_IN_DECIMAL:
    case IDC_SEPARATOR:
    case IDC_RAREV_COMPATIBLE:
    case IDC_SMART_LENGTH:
    case IDC_DETECT_HOBETA:
    case IDC_EXTRACT_HOBETA:
      UpdateControls();
      break;
    default:
      break;
  }
  return true;
}

Settings& ConfigDialog::ReadControls(Settings& out) const {
  if (&out != &settings) out = settings;
  out.RarevCompatible = IsTicked(IDC_RAREV_COMPATIBLE);
  const int numbering = FirstSelected(IDC_NUMBERING_NONE, IDC_NUMBERING_DEC);
  out.FileNameNumbering = numbering != 0 ? numbering - IDC_NUMBERING_NONE : 0;
  ReadField(hwnd, IDC_SEPARATOR, out.FileNameNumberingSeparator);
  out.SmartLenDetect = IsTicked(IDC_SMART_LENGTH);
  out.DetectHobeta = IsTicked(IDC_DETECT_HOBETA);
  out.ExtractHobeta = IsTicked(IDC_EXTRACT_HOBETA);
  out.FileNamingMode.ParamsInDecimal = IsTicked(IDC_PARAMS_IN_DECIMAL) ? 1 : 0;
  const int gap = FirstSelected(IDC_GAP_ALIGNED, IDC_GAP_FIXED_FONT);
  out.FileNamingMode.ParamsGap = gap != 0 ? gap - SelectedGapBase : 1;
  ReadField(hwnd, IDC_PATTERN1, out.ParamsPattern1);
  ReadField(hwnd, IDC_PATTERN2, out.ParamsPattern2);
  if (IsTicked(IDC_SELECT_PATTERN2)) out.ParamsPatternN = 2;
  if (IsTicked(IDC_SELECT_PATTERN1)) out.ParamsPatternN = 1;
  CompileParamsPattern(SelectedPattern(out), out.FileNamingMode.CompiledParamsPattern);
  return out;
}

bool ConfigDialog::IsPatternValid(const Settings* s) const {
  Settings read;
  if (s == nullptr) s = &ReadControls(read);
  return s->FileNamingMode.CompiledParamsPattern[0] != '\0';
}

void ConfigDialog::UpdateControls() {
  Settings current;
  ReadControls(current);
  const bool valid = IsPatternValid(&current);
  const char* notice = "";
  if (!valid) {
    notice = InvalidPatternNotice;
  } else if (NamesChanged(current, settings) || ParamsChanged(current, settings)) {
    notice = RestartNotice;
  }
  SetDlgItemTextA(hwnd, IDC_MESSAGE, notice);

  const bool rarev = current.RarevCompatible;
  Enable(IDC_EXTRACT_HOBETA, !rarev);
  Enable(IDC_DETECT_HOBETA, true);
  Enable(IDC_SMART_LENGTH, current.DetectHobeta);
  for (const int id : {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC}) Enable(id, !rarev);
  for (const int id : {IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_PATTERN1, IDC_PATTERN2, IDC_PARAMS_IN_DECIMAL,
                       IDC_GAP_ALIGNED, IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT}) {
    Enable(id, rarev);
  }
  Enable(IDOK, valid);
}

void ConfigDialog::Close(int result) {
  // The message control gets its own font back before the bold one goes.
  SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(oldFont), FALSE);
  if (font != nullptr) DeleteObject(font);
  font = nullptr;
  EndDialog(hwnd, result);
}

// A box counts as ticked only when fully checked, not indeterminate.
bool ConfigDialog::IsTicked(int id) const { return IsDlgButtonChecked(hwnd, id) == BST_CHECKED; }

int ConfigDialog::FirstSelected(int first, int last) const {
  for (int id = first; id <= last; ++id) {
    if (IsTicked(id)) return id;
  }
  return 0;
}

void ConfigDialog::Select(int id, int first, int last) {
  CheckRadioButton(hwnd, first, last, id);
  UpdateControls();
}

void ConfigDialog::Enable(int id, bool enable) { EnableWindow(GetDlgItem(hwnd, id), enable ? TRUE : FALSE); }
