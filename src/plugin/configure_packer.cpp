// The host's options command: the settings dialog over the host's window.
#include "plugin/plugin_api.h"
#include "settings/config_dialog.h"
#include "settings/config_file.h"

DOVED_EXPORT void DOVED_CALL ConfigurePacker(HWND Parent, HINSTANCE DllInstance) {
  Settings opened;
  ConfigDialog dialog(GetSettings(opened));
  // Anything but OK, a failure to show the dialog included, changes nothing.
  if (dialog.Show(DllInstance, Parent) != IDOK) return;
  SetSettings(dialog.settings);
  SaveSettings(dialog.settings);
}
