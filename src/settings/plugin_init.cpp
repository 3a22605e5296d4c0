#include "settings/plugin_init.h"

#include <cstdint>
#include <cstring>

#include "base/error_report.h"
#include "os/os.h"
#include "settings/config_file.h"
#include "support/path_text.h"

char ConfigFilePath[os::MaxPathBytes];
bool ConfigFilePathFormed;

namespace {

constexpr char ConfigFileName[] = "Doved.cfg";
constexpr std::uint32_t ConfigFileNameLength = sizeof ConfigFileName - 1;

// Whether the Doved.cfg that ConfigFilePath names is there and can be written
// anew: a profile file is replaced through a file beside it.
bool ConfigFileKeepsItsPlace() {
  if (!ConfigFilePathFormed) return false;
  os::File* file = os::Os().Open(ConfigFilePath, os::Access::Read, os::Disposition::OpenExisting, nullptr);
  if (file == nullptr) return false;
  os::Os().Close(file);
  char folder[sizeof ConfigFilePath];
  std::memcpy(folder, ConfigFilePath, sizeof folder);
  std::size_t end = static_cast<std::size_t>(LastPathComponent(folder) - folder);
  // The folder "/" keeps its separator.
  if (end > 1) --end;
  folder[end] = '\0';
  return os::Os().CanCreateIn(folder);
}

// The file that ConfigFilePath names gives the settings in force.
void LoadFromFormedPath() {
  ConfigFilePathFormed = true;
  SetSettings(LoadSettings());
}

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
  char* name = ConfigFilePath + (LastPathComponent(ConfigFilePath) - ConfigFilePath);
  std::memcpy(name, ConfigFileName, sizeof ConfigFileName);
  LoadFromFormedPath();
  return true;
}

bool UseSettingsFolder(const char* folder) {
  if (folder == nullptr || *folder == '\0' || ConfigFileKeepsItsPlace()) return false;
  const std::size_t length = std::strlen(folder);
  const bool separated = IsPathSeparator(folder[length - 1]);
  const std::size_t total = length + (separated ? 0 : 1) + ConfigFileNameLength;
  // A path that does not fit leaves the file where it was.
  if (total >= sizeof ConfigFilePath) return false;
  std::memcpy(ConfigFilePath, folder, length);
  if (!separated) ConfigFilePath[length] = '/';
  std::memcpy(ConfigFilePath + total - ConfigFileNameLength, ConfigFileName, sizeof ConfigFileName);
  LoadFromFormedPath();
  return true;
}
