#include "plugin/windows/about_dialog.h"

#include "os/unicode_text.h"
#include "settings/config_form.h"

bool AboutDialog::OnInitDialog() {
  SetDlgItemTextA(hwnd, IDC_ABOUT_TEXT, AboutText(IDC_ABOUT_TEXT));
  // The settings path is UTF-8, and may hold any character.
  wchar_t path[os::MaxPathUnits];
  if (os::Utf8ToUtf16(AboutText(IDC_CONFIG_PATH), path, os::MaxPathUnits)) SetDlgItemTextW(hwnd, IDC_CONFIG_PATH, path);
  ready = true;
  return true;
}

bool AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) EndDialog(hwnd, id);
  return true;
}
