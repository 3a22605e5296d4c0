// Share modes kept with advisory locks on open file descriptions (flock), so
// that they hold between processes and between two opens in one process.
#pragma once

#include <sys/stat.h>

#include <string>

namespace posix_files {

// Locks a newly opened file without waiting: shared for a read-only open
// that admits other readers, exclusive otherwise. False with errno set
// (EWOULDBLOCK when another open holds a conflicting lock).
bool LockForOpen(int fd, bool shared);

// Before a regular file is deleted or replaced: opens it and locks it
// exclusively, so that nobody can open it meanwhile. Returns the descriptor
// holding the lock, or -1; `inUse` tells that another open holds the file.
// A file that cannot be opened for the check is taken as not in use.
int HoldForRemoval(const std::string& path, bool& inUse);

// A regular file without any write permission bit: the read-only attribute.
inline bool IsReadOnlyFile(mode_t mode) { return S_ISREG(mode) && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

}  // namespace posix_files
