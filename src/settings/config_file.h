// Doved.cfg: the settings as the user keeps them, in one INI section.
#pragma once

#include <cstdint>

#include "os/unicode_text.h"
#include "settings/settings.h"

// The configuration file's values laid over the settings in force.
Settings LoadSettings();
// Writes every setting in one step. False when Doved.cfg cannot be written,
// with the system's error code in `error` (0 when there is none, as when
// ConfigFilePath names no configuration file).
bool SaveSettings(const Settings& settings, std::uint32_t* error = nullptr);
// What confirming the settings dialog does: `accepted` is put in force and
// written to the configuration file; a failure to write it is shown, and the
// settings stay in force for the session.
void ConfirmSettings(const Settings& accepted);

// Full path of the configuration file (of the module after a failed attach),
// in UTF-8: room for a path of the host's 1024 characters.
extern char ConfigFilePath[os::MaxPathBytes];
// Whether ConfigFilePath names the configuration file; saving writes nothing otherwise.
extern bool ConfigFilePathFormed;
