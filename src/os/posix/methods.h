// The POSIX implementation of each operation, gathered into os::Native.
// Plain system calls; no operation keeps state of its own, none throws.
#pragma once

#include "os/operations.h"

namespace os::posix {

DOVED_OS_OPERATIONS(DOVED_OS_DECLARE)

}  // namespace os::posix
