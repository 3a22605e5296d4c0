#include "settings/about_dialog.h"

#include "settings/config_file.h"
#include "settings/config_form.h"

bool AboutDialog::OnInitDialog() {
  SetDlgItemTextA(hwnd, IDC_ABOUT_TEXT, AboutBanner);
  SetDlgItemTextA(hwnd, IDC_CONFIG_PATH, ConfigFilePath);
  ready = true;
  return true;
}

bool AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) EndDialog(hwnd, id);
  return true;
}
