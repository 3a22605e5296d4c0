// The process-attach step: finds Doved.cfg beside the module and loads it.
#pragma once

// `module` is the library's module handle, or any address inside it. False
// when the module's path cannot be had or is too long; the settings in force
// then stay as they are.
bool InitPlugin(const void* module);
