// The Windows implementation of each operation, gathered into os::Native.
#pragma once

// windows.h, included before this, maps this name onto the system's own
// call; here it names the operation.
#undef WriteProfileString

#include "os/operations.h"

namespace os::windows {

DOVED_OS_OPERATIONS(DOVED_OS_DECLARE)

}  // namespace os::windows
