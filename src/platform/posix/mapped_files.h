// Which files have mappings or views in this process. Windows refuses to
// change the length of such a file; refusing it here as well also keeps a
// view from losing the pages behind it.
#pragma once

#include <sys/types.h>

namespace posix_files {

// False when memory runs out.
bool NoteMapped(dev_t device, ino_t inode);
void NoteUnmapped(dev_t device, ino_t inode);
bool IsMapped(dev_t device, ino_t inode);

}  // namespace posix_files
