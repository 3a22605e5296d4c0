#include "settings/plugin_init.h"

#include <cstring>

#include "base/error_report.h"
#include "settings/config_file.h"

char ConfigFilePath[261];
bool ConfigFilePathFormed;

namespace {

constexpr char ConfigFileName[] = "Doved.cfg";
constexpr DWORD ConfigFileNameLength = sizeof ConfigFileName - 1;

}  // namespace

bool InitPlugin(HMODULE module) {
  ConfigFilePathFormed = false;
  const DWORD length = GetModuleFileNameA(module, ConfigFilePath, sizeof ConfigFilePath);
  // Older systems leave a truncated path unterminated.
  ConfigFilePath[sizeof ConfigFilePath - 1] = '\0';
  // Without the module's path "Doved.cfg" would name a file in whatever the
  // current or system directory is.
  if (length == 0) return false;
  if (length + ConfigFileNameLength >= sizeof ConfigFilePath) {
    ShowError("Path of plugin DLL is too long.");
    return false;
  }
  DWORD nameStart = length;
  while (nameStart > 0 && ConfigFilePath[nameStart - 1] != '/' && ConfigFilePath[nameStart - 1] != '\\') --nameStart;
  std::memcpy(ConfigFilePath + nameStart, ConfigFileName, sizeof ConfigFileName);
  ConfigFilePathFormed = true;
  SetSettings(LoadSettings());
  return true;
}
