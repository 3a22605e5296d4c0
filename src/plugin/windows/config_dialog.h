// The settings dialog in a Win32 dialog: the settings form (config_form.h)
// holds the controls' states and rules; this shows them in the real controls
// and hands the user's clicks and typing to it.
#pragma once

#include "plugin/windows/about_dialog.h"
#include "plugin/windows/dialog.h"
#include "settings/config_form.h"
#include "settings/dialog_controls.h"
#include "settings/settings.h"

static_assert(IDC_OK == IDOK && IDC_CANCEL == IDCANCEL);

class ConfigDialog final : public Dialog<IDD_CONFIG> {
 public:
  explicit ConfigDialog(const Settings& opened) : settings(opened), form(opened) {}

  // The settings the dialog opened with, replaced by its values when OK is accepted.
  Settings settings;

 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The form's edit limits and texts into the controls, once.
  void LoadControls();
  // The form's check states, enabled states and notice into the controls.
  void ShowStates();
  void Close(int result);

  HFONT oldFont = nullptr;  // the message control's font before the bold one
  ConfigForm form;
  AboutDialog about;
};
