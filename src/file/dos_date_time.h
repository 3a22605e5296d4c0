// The date and time a file manager shows for a file: DOS form, local time.
#pragma once

#include <cstdint>

#include "platform/windows_api.h"

// Date in the high 16 bits, time in the low 16 bits; 0 when the time has no
// DOS form (before 1980 or after 2107).
std::uint32_t ToDosDateTime(const FILETIME& time);
