// The settings in force are shared by the whole process; a test that changes
// them holds a scope, which puts back what it found.
#pragma once

#include "settings/settings.h"

class SettingsScope {
 public:
  SettingsScope() { GetSettings(saved_); }
  explicit SettingsScope(const Settings& inForce) : SettingsScope() { SetSettings(inForce); }
  ~SettingsScope() { SetSettings(saved_); }
  SettingsScope(const SettingsScope&) = delete;
  SettingsScope& operator=(const SettingsScope&) = delete;

 private:
  Settings saved_{};
};

// The defaults without numbering, so that listed names are the plain ones.
inline Settings UnnumberedSettings() {
  Settings settings = DefaultSettings();
  settings.FileNameNumbering = Numbering::None;
  return settings;
}
