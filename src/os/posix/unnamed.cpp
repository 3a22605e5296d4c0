// Files made without a name (O_TMPFILE), which a process that dies leaves
// nothing of; they get a name of their own only when they are done.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"
#include "os/posix/paths.h"
#include "os/posix/sharing.h"

namespace os::posix {

File* CreateUnnamed(const char* besidePath) {
  char local[PathCapacity];
  char target[PathCapacity];
  char directory[PathCapacity];
  if (!LocalPath(besidePath, local) || !Resolve(local, target)) return nullptr;
  DirectoryOf(target, directory);
  const int fd = OpenPath(directory, O_TMPFILE | O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // Shared with nobody, as a file made for writing is, once it has a name.
  if (!TakeShare(fd, Access::ReadWrite)) {
    close(fd);
    return nullptr;
  }
  File* file = FileOf(fd, true);
  if (file == nullptr) close(fd);
  return file;
}

bool Link(File* file, const char* path) {
  char local[PathCapacity];
  if (!LocalPath(path, local)) return false;
  char self[64];
  snprintf(self, sizeof self, "/proc/self/fd/%d", DescriptorOf(file));
  return linkat(AT_FDCWD, self, AT_FDCWD, local, AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace os::posix
