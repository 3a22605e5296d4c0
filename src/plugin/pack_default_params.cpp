// PackSetDefaultParams: the host names its own settings file once it has
// loaded the library. Doved.cfg goes into that file's folder where the
// library's own folder cannot take it.
#include <cstring>

#include "os/os.h"
#include "plugin/plugin_api.h"
#include "settings/plugin_init.h"
#include "support/path_text.h"

DOVED_EXPORT void DOVED_CALL PackSetDefaultParams(PackDefaultParamStruct* dps) {
  if (dps == nullptr || dps->size < static_cast<int>(sizeof *dps)) return;
  if (std::memchr(dps->DefaultIniName, '\0', sizeof dps->DefaultIniName) == nullptr) return;
  // The host names it in the ANSI code page; Doved's paths are UTF-8.
  char name[os::MaxPathBytes];
  if (!os::Os().AnsiToUtf8(dps->DefaultIniName, name, sizeof name)) return;
  // The folder with its last separator; a bare file name names no folder.
  const auto length = static_cast<std::size_t>(LastPathComponent(name) - name);
  if (length == 0) return;
  char folder[sizeof name];
  std::memcpy(folder, name, length);
  folder[length] = '\0';
  UseSettingsFolder(folder);
}
