#include "plugin/windows/config_dialog.h"

bool ConfigDialog::OnInitDialog() {
  if (font == nullptr) {
    font = CreateFontA(0, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
  }
  oldFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_GETFONT, 0, 0));
  SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  form = ConfigForm(settings);
  LoadControls();
  ready = true;
  ShowStates();
  return true;
}

void ConfigDialog::LoadControls() {
  for (const FormControl& control : ConfigForm::Controls()) {
    const std::size_t limit = form.TextLimit(control.id);
    if (limit != 0) SendDlgItemMessageA(hwnd, control.id, EM_LIMITTEXT, limit, 0);
    if (control.kind == FormControlKind::Edit || control.kind == FormControlKind::ReadOnlyEdit) {
      SetDlgItemTextA(hwnd, control.id, form.Text(control.id));
    }
  }
}

bool ConfigDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      // Refused, and the dialog stays open, while the selected pattern is invalid.
      if (const auto accepted = form.PressOk()) {
        settings = *accepted;
        Close(IDOK);
      }
      return true;
    case IDCANCEL:
      form.PressCancel();
      Close(IDCANCEL);
      return true;
    case IDC_ABOUT_BUTTON:
      about.Show(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)), hwnd);
      return true;
    default:
      break;
  }
  // Each of the pattern and gap radio buttons starts a group of its own, so
  // the system does not clear the others: the form does. A box counts as
  // ticked only when fully checked, not indeterminate.
  switch (ConfigForm::KindOf(id)) {
    case FormControlKind::Edit: {
      if (HIWORD(wParam) != EN_CHANGE) return true;
      char text[PatternSize];
      GetDlgItemTextA(hwnd, id, text, sizeof text);
      form.Type(id, text);
      break;
    }
    case FormControlKind::ReadOnlyEdit:
      form.UpdateControls();
      break;
    case FormControlKind::RadioButton:
      form.Select(id);
      break;
    case FormControlKind::CheckBox:
      form.Tick(id, IsDlgButtonChecked(hwnd, id) == BST_CHECKED);
      break;
    default:
      return true;
  }
  ShowStates();
  return true;
}

void ConfigDialog::ShowStates() {
  for (const FormControl& control : ConfigForm::Controls()) {
    if (control.kind == FormControlKind::CheckBox) {
      CheckDlgButton(hwnd, control.id, form.IsTicked(control.id) ? BST_CHECKED : BST_UNCHECKED);
    }
    EnableWindow(GetDlgItem(hwnd, control.id), form.IsEnabled(control.id) ? TRUE : FALSE);
  }
  for (const RadioSet& range : ConfigForm::RadioSets()) {
    int selected = 0;
    for (int id = range.first; id <= range.last && selected == 0; ++id) {
      if (form.IsTicked(id)) selected = id;
    }
    if (selected != 0) {
      CheckRadioButton(hwnd, range.first, range.last, selected);
    } else {
      for (int id = range.first; id <= range.last; ++id) CheckDlgButton(hwnd, id, BST_UNCHECKED);
    }
  }
  SetDlgItemTextA(hwnd, IDC_MESSAGE, form.Text(IDC_MESSAGE));
}

void ConfigDialog::Close(int result) {
  // The message control gets its own font back before the bold one goes.
  SendDlgItemMessageA(hwnd, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(oldFont), FALSE);
  if (font != nullptr) DeleteObject(font);
  font = nullptr;
  EndDialog(hwnd, result);
}
