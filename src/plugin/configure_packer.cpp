// The host's options command: the settings dialog over the host's window.
#include "plugin/plugin_api.h"

#ifdef _WIN32

#include "plugin/windows/config_dialog.h"
#include "settings/config_file.h"

DOVED_EXPORT void DOVED_CALL ConfigurePacker(HWND Parent, HINSTANCE DllInstance) {
  Settings opened;
  ConfigDialog dialog(GetSettings(opened));
  // Anything but OK, a failure to show the dialog included, changes nothing.
  if (dialog.Show(DllInstance, Parent) != IDOK) return;
  ConfirmSettings(dialog.settings);
}

#else

// Double Commander's dialogs are not bound to the settings form yet: on
// Linux no dialog is shown and the settings stay as they are.
DOVED_EXPORT void DOVED_CALL ConfigurePacker(HWND, HINSTANCE) {}

#endif
