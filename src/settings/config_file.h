// Doved.cfg: the settings as the user keeps them, in one INI section.
#pragma once

#include "settings/settings.h"

// The configuration file's values laid over the settings in force.
Settings LoadSettings();
// Writes every setting; nothing when ConfigFilePath names no configuration file.
void SaveSettings(const Settings& settings);
// What confirming the settings dialog does: `accepted` is put in force and
// written to the configuration file.
void ConfirmSettings(const Settings& accepted);

// Full path of the configuration file (of the module after a failed attach).
extern char ConfigFilePath[261];
// Whether ConfigFilePath names the configuration file; saving writes nothing otherwise.
extern bool ConfigFilePathFormed;
