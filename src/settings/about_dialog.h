// The About box: what the plug-in is, its version, and where its settings live.
#pragma once

#include "settings/dialog.h"
#include "settings/dialog_controls.h"

// Shown in the About box; names the same version as the version resource.
extern const char AboutBanner[];

class AboutDialog final : public Dialog<IDD_ABOUT> {
 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
