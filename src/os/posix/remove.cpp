// Deleting and replacing files, as Windows does: a file that another open
// holds, and a read-only file, are neither deleted nor replaced. While the
// name changes the file is held, so nobody can open it meanwhile; an open
// that had reached it before sees afterwards that the path no longer names
// it, and opens what the path names now.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

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
  // Holds the regular file at `path`, leaving its descriptor (or -1) in
  // `fd`; false when another open holds it.
  bool Take(const char* path, const struct stat& status, int* fd = nullptr) {
    int held = -1;
    bool busy = false;
    if (S_ISREG(status.st_mode)) held = fds_[count_++] = HoldForRemoval(path, &busy);
    if (fd != nullptr) *fd = held;
    return !busy;
  }

 private:
  int fds_[2] = {-1, -1};
  int count_ = 0;
};

// Puts a rename on the disk: the directory that now holds the name.
bool SyncDirectoryOf(const char* path) {
  char directory[PathCapacity];
  DirectoryOf(path, directory);
  const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
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
// The new file's bytes reach the disk before its name does, so a crash
// leaves either the old file or the whole new one.
bool Replace(const char* from, const char* to) {
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
  int sourceFd;
  if (!holds.Take(source, sourceStatus, &sourceFd)) return false;
  if (replaces && !holds.Take(target, targetStatus)) return false;
  if (sourceFd >= 0 && fsync(sourceFd) != 0) return false;
  if (rename(source, target) != 0) return false;
  return SyncDirectoryOf(target);
}

}  // namespace os::posix
