// Windows device names, which a file name must never turn into.
#pragma once

#include <cstddef>

// Windows opens CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 as devices in
// any letter case, whatever follows a dot after them and with spaces before
// that dot. Given the text that starts a file name, returns the length of
// the device name it would open (3 or 4), or 0 when it is no device.
std::size_t DeviceNameLength(const char* text, std::size_t count);
