#include "plugin/windows/about_dialog.h"

#include "settings/config_form.h"

bool AboutDialog::OnInitDialog() {
  SetDlgItemTextA(hwnd, IDC_ABOUT_TEXT, AboutText(IDC_ABOUT_TEXT));
  SetDlgItemTextA(hwnd, IDC_CONFIG_PATH, AboutText(IDC_CONFIG_PATH));
  ready = true;
  return true;
}

bool AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) EndDialog(hwnd, id);
  return true;
}
