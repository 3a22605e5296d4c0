// The process-attach step: finds Doved.cfg beside the module and loads it.
#pragma once

#include "platform/windows_api.h"

// False when the module's path cannot be had or is too long; the settings in
// force then stay as they are.
bool InitPlugin(HMODULE module);
