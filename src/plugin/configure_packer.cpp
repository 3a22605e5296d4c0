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

#include "base/error_report.h"
#include "plugin/doublecmd/config_dialog.h"
#include "settings/config_file.h"

// Double Commander shows the dialog as a form of its own toolkit, through the
// calls it lends the library at start (its window handle is of no use here).
// A host that lends none is shown nothing, and the settings stay as they are.
DOVED_EXPORT void DOVED_CALL ConfigurePacker(HWND, HINSTANCE) {
  Settings opened;
  Settings accepted;
  Status status;
  const bool ok = doublecmd::ShowConfigDialog(GetSettings(opened), accepted, status);
  ReportStatus(status);
  if (ok) ConfirmSettings(accepted);
}

#endif
