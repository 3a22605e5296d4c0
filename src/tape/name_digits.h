// Numbers written into entry names.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "support/ansi_string.h"

// Appends `value` in decimal or upper-case hexadecimal, zero-padded to at
// least `width` digits. A width beyond the 14-digit buffer fails with
// "Error s091" (decimal) or "Error s092" (hexadecimal).
Status AppendDigits(String& s, std::uint32_t value, std::uint32_t width, bool hex);
