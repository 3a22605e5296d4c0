// The date and time a file manager shows for a file: DOS form, local time.
#pragma once

#include <cstdint>

// Date in the high 16 bits, time in the low 16 bits, of a file time (100 ns
// units since 1601, UTC); 0 when it has no DOS form (before 1980 or after 2107).
std::uint32_t ToDosDateTime(std::uint64_t time);

// The DOS date and time nearest to `time`: 1980-01-01 00:00:00 for earlier
// times, 2107-12-31 23:59:58 for later ones.
std::uint32_t NearestDosDateTime(std::uint64_t time);
