// The process-attach step: finds Doved.cfg beside the module and loads it;
// and the move of Doved.cfg into the host's settings folder.
#pragma once

// `module` is the library's module handle, or any address inside it. False
// when the module's path cannot be had or is too long; the settings in force
// then stay as they are.
bool InitPlugin(const void* module);

// A folder of the host's that its user can write, named once the host has
// started the library (Double Commander's configuration folder, the folder
// of the settings file that Total Commander names). Doved.cfg
// stays beside the library when it lies there and the library's folder takes
// new files; otherwise it lives in `folder`, and is read from there now, over
// the settings in force. True when ConfigFilePath names the file in `folder`.
bool UseSettingsFolder(const char* folder);
