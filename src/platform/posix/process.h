// Process, thread, module and clock calls.
#pragma once

#include "platform/posix/types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
DWORD GetCurrentProcessId();
void Sleep(DWORD milliseconds);
void GetSystemTimeAsFileTime(FILETIME* time);
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
// `module` is any address inside the loaded object (its handle on Windows);
// null names the main program.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
