// How opens share a file: advisory locks on open file descriptions (flock),
// which hold between processes and between two opens in one process alike.
// A reader takes a shared lock, a writer an exclusive one; nobody waits.
#pragma once

#include <sys/stat.h>

#include "os/os.h"

namespace os::posix {

// Takes the lock that `access` stands for on a newly opened file, without
// waiting. False when another open holds a conflicting lock.
bool TakeShare(int fd, Access access);

// Before a regular file is deleted or replaced: opens it and takes an
// exclusive lock, so that nobody can open it while the name changes. Returns
// the descriptor holding the lock (close it after the change), or -1;
// `busy` tells that another open holds the file. A file that cannot be
// opened for the check is not in use by anyone who could have opened it.
int HoldForRemoval(const char* path, bool* busy);

// A regular file without any write permission bit stands for a file with
// the read-only attribute: it is neither written, deleted nor replaced.
inline bool IsReadOnly(mode_t mode) { return S_ISREG(mode) && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

}  // namespace os::posix
