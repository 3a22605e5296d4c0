// The Windows implementation of each operation, gathered into os::Native.
#pragma once

#include "os/operations.h"

namespace os::windows {

DOVED_OS_OPERATIONS(DOVED_OS_DECLARE)

}  // namespace os::windows
