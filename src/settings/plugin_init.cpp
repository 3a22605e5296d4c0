#include "settings/plugin_init.h"

#include <cstdint>
#include <cstring>

#include "base/error_report.h"
#include "os/os.h"
#include "settings/config_file.h"
#include "support/path_text.h"

char ConfigFilePath[261];
bool ConfigFilePathFormed;

namespace {

constexpr char ConfigFileName[] = "Doved.cfg";
constexpr std::uint32_t ConfigFileNameLength = sizeof ConfigFileName - 1;

}  // namespace

bool InitPlugin(const void* module) {
  ConfigFilePathFormed = false;
  const std::uint32_t length = os::Os().ModulePath(module, ConfigFilePath, sizeof ConfigFilePath);
  // Older systems leave a truncated path unterminated.
  ConfigFilePath[sizeof ConfigFilePath - 1] = '\0';
  // Without the module's path "Doved.cfg" would name a file in whatever the
  // current or system directory is.
  if (length == 0) return false;
  if (length + ConfigFileNameLength >= sizeof ConfigFilePath) {
    ShowError("Path of plugin DLL is too long.");
    return false;
  }
  std::uint32_t nameStart = length;
  while (nameStart > 0 && !IsPathSeparator(ConfigFilePath[nameStart - 1])) --nameStart;
  std::memcpy(ConfigFilePath + nameStart, ConfigFileName, sizeof ConfigFileName);
  ConfigFilePathFormed = true;
  SetSettings(LoadSettings());
  return true;
}
