// File times as the plug-in keeps them: one 64-bit count of 100 ns units
// since 1601-01-01 UTC, taken from and handed to the system's two halves.
#pragma once

#include <cstdint>

#include "platform/windows_api.h"

inline std::uint64_t FileTimeValue(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline FILETIME ToFileTime(std::uint64_t time) {
  return {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}
