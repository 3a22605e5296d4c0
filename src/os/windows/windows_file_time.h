// The interface's file times are Windows' own FILETIME as one number.
#pragma once

#include <windows.h>

#include "os/windows/windows_methods.h"

namespace os::windows {

inline FILETIME ToFileTime(FileTime time) { return {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}; }

inline FileTime FromFileTime(const FILETIME& time) {
  return static_cast<FileTime>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace os::windows
