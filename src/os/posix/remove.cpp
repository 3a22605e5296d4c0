// Deleting and replacing files, as Windows does: a file that another open
// holds, and a read-only file, are neither deleted nor replaced. While the
// name changes the file is held, so nobody can open it meanwhile; an open
// that had reached it before sees afterwards that the path no longer names
// it, and opens what the path names now.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"
#include "os/posix/paths.h"
#include "os/posix/sharing.h"

namespace os::posix {
namespace {

// Descriptors of held files, closed at the end of the scope.
class Holds {
 public:
  Holds() = default;
  Holds(const Holds&) = delete;
  Holds& operator=(const Holds&) = delete;
  ~Holds() {
    for (const int fd : fds_) {
      if (fd >= 0) close(fd);
    }
  }
  // Holds the regular file at `path`; false when another open holds it.
  bool Take(const char* path, const struct stat& status) {
    bool busy = false;
    if (S_ISREG(status.st_mode)) fds_[count_++] = HoldForRemoval(path, &busy);
    return !busy;
  }

 private:
  int fds_[2] = {-1, -1};
  int count_ = 0;
};

// The caller's own open file on the target holds it through the rename:
// turned exclusive, its lock shows that nobody else has the file open, and
// keeps anybody from opening it until the new file has its name.
bool HoldOwn(int fd) { return TakeShare(fd, Access::ReadWrite); }

bool ReplaceHolding(const char* from, const char* to, int heldFd) {
  char source[PathCapacity];
  char named[PathCapacity];
  char target[PathCapacity];
  if (!LocalPath(from, source) || !LocalPath(to, named) || !Resolve(named, target)) return false;
  struct stat sourceStatus;
  if (lstat(source, &sourceStatus) != 0) return false;
  struct stat targetStatus;
  const bool replaces = lstat(target, &targetStatus) == 0;
  if (replaces && (S_ISDIR(targetStatus.st_mode) || IsReadOnly(targetStatus.st_mode))) return false;

  Holds holds;
  if (!holds.Take(source, sourceStatus)) return false;
  if (heldFd >= 0 ? !HoldOwn(heldFd) : replaces && !holds.Take(target, targetStatus)) return false;
  if (rename(source, target) != 0) return false;
  // The new file has the name now: a directory that fails to reach the disk
  // does not undo that, and the caller is told of success.
  SyncDirectoryOf(target);
  return true;
}

}  // namespace

// A symbolic link is deleted itself, not its target; a directory is not deleted.
bool Delete(const char* path) {
  char local[PathCapacity];
  if (!LocalPath(path, local)) return false;
  struct stat status;
  if (lstat(local, &status) != 0 || S_ISDIR(status.st_mode) || IsReadOnly(status.st_mode)) return false;
  Holds holds;
  if (!holds.Take(local, status)) return false;
  return unlink(local) == 0;
}

// A link at `to` stays a link: the file it points at is the one replaced.
// Whether the new bytes reach the disk first is the caller's choice (Flush).
bool Replace(const char* from, const char* to, File* held) {
  const int heldFd = held != nullptr ? DescriptorOf(held) : -1;
  const bool replaced = ReplaceHolding(from, to, heldFd);
  if (held != nullptr) Close(held);
  return replaced;
}

}  // namespace os::posix
