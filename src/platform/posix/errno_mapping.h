// The Windows error codes that stand for POSIX errno values.
#pragma once

#include <string>

#include "platform/posix/types.h"

namespace posix_files {

DWORD ErrorFromErrno(int error);
// As above, but a missing file (ENOENT) is told apart from a missing
// directory on the way to it, as Windows does.
DWORD ErrorFromErrnoForPath(int error, const std::string& path);

}  // namespace posix_files
