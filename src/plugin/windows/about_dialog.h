// The About box in a Win32 dialog: the texts come from the settings form.
#pragma once

#include "plugin/windows/dialog.h"
#include "settings/dialog_controls.h"

class AboutDialog final : public Dialog<IDD_ABOUT> {
 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
