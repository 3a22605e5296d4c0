// Opening a file and taking its share are one step: Open returns a file only
// once it holds the lock and has seen that the path still names the locked
// file. So a caller never writes into a file that another caller has just
// removed or replaced, and a caller that made a file but lost the lock to
// another never removes it: the other is using it.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"
#include "os/posix/paths.h"
#include "os/posix/sharing.h"

namespace os::posix {
namespace {

// Bounds the tries of a path that keeps changing under the caller: a path
// that vanishes between two opens, or a locked file that lost its name.
constexpr int Attempts = 64;

// Opens an existing file, or makes it when it is missing. The file is made
// only with O_EXCL, so `made` is exact. A path that keeps failing both ways
// may be a link to a missing file: then the link's target is made.
int OpenOrMake(char* path, int flags, bool* made) {
  bool resolved = false;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    int fd = OpenPath(path, flags);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = OpenPath(path, flags | O_CREAT | O_EXCL);
    if (fd >= 0) {
      *made = true;
      return fd;
    }
    if (errno != EEXIST) return -1;
    struct stat status;
    if (!resolved && lstat(path, &status) == 0 && S_ISLNK(status.st_mode)) {
      char target[PathCapacity];
      if (Resolve(path, target)) {
        std::strcpy(path, target);
        resolved = true;
      }
    }
  }
  errno = EAGAIN;
  return -1;
}

// Opens `path` as the disposition says, without truncating: the file may
// still be in use by another open.
int OpenForDisposition(char* path, int flags, Disposition disposition, bool* made) {
  *made = false;
  switch (disposition) {
    case Disposition::CreateNew: {
      const int fd = OpenPath(path, flags | O_CREAT | O_EXCL);
      *made = fd >= 0;
      return fd;
    }
    case Disposition::OpenExisting:
      return OpenPath(path, flags);
    case Disposition::CreateAlways:
    case Disposition::OpenAlways:
      break;
  }
  return OpenOrMake(path, flags, made);
}

enum class Outcome { Ready, Failed, Moved };

constexpr unsigned StatusWanted = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_INO | STATX_SIZE | STATX_BTIME;

// Everything after the open: the share, the kind of file, the read-only
// attribute, the check that the path still names the file, and the
// truncation. What the status tells is kept in `file`. O_NONBLOCK, which
// only kept a FIFO from blocking the open, stays: regular files ignore it.
Outcome Prepare(int fd, const char* path, Access access, Disposition disposition, bool made, OpenFile& file) {
  if (!TakeShare(fd, access)) return Outcome::Failed;
  struct statx status;
  if (statx(fd, "", AT_EMPTY_PATH, StatusWanted, &status) != 0 || !S_ISREG(status.stx_mode)) return Outcome::Failed;
  file.size = status.stx_size;
  file.born = (status.stx_mask & STATX_BTIME) != 0;
  file.birthSeconds = status.stx_btime.tv_sec;
  file.birthNanoseconds = static_cast<long>(status.stx_btime.tv_nsec);
  if (access == Access::Read) return Outcome::Ready;
  // A writer refuses a read-only file.
  if (!made && IsReadOnly(status.stx_mode)) return Outcome::Failed;
  // Only now can nobody else take the file through Open; it may have been
  // removed, or replaced by another, between the open and the lock. A
  // reader of a replaced file reads it as it was, as on Windows; a writer
  // must never write into a file that has lost its name.
  struct stat named;
  if (stat(path, &named) != 0) return errno == ENOENT ? Outcome::Moved : Outcome::Failed;
  const bool same = named.st_dev == makedev(status.stx_dev_major, status.stx_dev_minor) && named.st_ino == status.stx_ino;
  if (status.stx_nlink == 0 || !same) return Outcome::Moved;
  if (disposition == Disposition::CreateAlways && !made && ftruncate(fd, 0) != 0) return Outcome::Failed;
  return Outcome::Ready;
}

}  // namespace

File* Open(const char* path, Access access, Disposition disposition, bool* created) {
  char local[PathCapacity];
  if (!LocalPath(path, local)) return nullptr;
  const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  // The object comes first: a file made by the open below is never left
  // behind for want of memory.
  File* opened = FileOf(-1, access == Access::ReadWrite);
  if (opened == nullptr) return nullptr;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    bool made = false;
    const int fd = OpenForDisposition(local, flags, disposition, &made);
    if (fd < 0) break;
    const Outcome outcome = Prepare(fd, local, access, disposition, made, *OpenFileOf(opened));
    if (outcome == Outcome::Ready) {
      OpenFileOf(opened)->fd = fd;
      if (created != nullptr) *created = made;
      return opened;
    }
    close(fd);
    if (outcome == Outcome::Failed) break;
  }
  std::free(opened);
  return nullptr;
}

// Linux releases the descriptor even when close reports an error.
bool Close(File* file) {
  const bool closed = close(DescriptorOf(file)) == 0 || errno == EINTR;
  std::free(OpenFileOf(file));
  return closed;
}

}  // namespace os::posix
