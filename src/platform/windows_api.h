// The Windows API as the plug-in uses it. On Windows this is the real API;
// elsewhere a thin POSIX layer provides the same calls with the same meaning.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/files.h"
#include "platform/posix/heap.h"
#include "platform/posix/messages.h"
#include "platform/posix/process.h"
#include "platform/posix/profile.h"
#include "platform/posix/types.h"
#endif
