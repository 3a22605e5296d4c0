// The settings dialog: edits a copy of the settings, checks the parameter
// pattern as it is typed, and says when a change needs the host restarted.
#pragma once

#include "settings/about_dialog.h"
#include "settings/dialog.h"
#include "settings/dialog_controls.h"
#include "settings/settings.h"

class ConfigDialog final : public Dialog<IDD_CONFIG> {
 public:
  explicit ConfigDialog(const Settings& opened) : settings(opened) {}

  // The working copy overlaid with the controls, the selected pattern compiled.
  Settings& ReadControls(Settings& out) const;
  // Whether the compiled pattern of `s` is non-empty; null reads the controls.
  bool IsPatternValid(const Settings* s) const;
  // Recomputes the notice, the enabled states and OK from the controls.
  void UpdateControls();

  // The settings the dialog opened with, replaced by its values when OK is accepted.
  Settings settings;

 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void LoadControls();
  void Close(int result);
  bool IsTicked(int id) const;
  int FirstSelected(int first, int last) const;
  void Select(int id, int first, int last);
  void Enable(int id, bool enable);

  HFONT oldFont = nullptr;  // the message control's font before the bold one
  AboutDialog about;
};
