// Opening a file and taking its share are one step: Open returns a file only
// once it holds the lock and has seen that the path still names the locked
// file. So a caller never writes into a file that another caller has just
// removed or replaced, and a caller that made a file but lost the lock to
// another never removes it: the other is using it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

int OpenPath(const char* path, int flags) {
  int fd;
  do {
    fd = open(path, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

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

// Everything after the open: the kind of file, the read-only attribute, the
// share, the check that the path still names the file, and the truncation.
Outcome Prepare(int fd, const char* path, Access access, Disposition disposition, bool made) {
  struct stat file;
  if (fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) return Outcome::Failed;
  // A writer refuses a read-only file without ever holding it.
  if (access == Access::ReadWrite && !made && IsReadOnly(file.st_mode)) return Outcome::Failed;
  if (!TakeShare(fd, access)) return Outcome::Failed;
  // Only now can nobody else take the file through Open; it may have been
  // removed, or replaced by another, between the open and the lock.
  struct stat named;
  if (fstat(fd, &file) != 0) return Outcome::Failed;
  if (stat(path, &named) != 0) return errno == ENOENT ? Outcome::Moved : Outcome::Failed;
  if (file.st_nlink == 0 || named.st_dev != file.st_dev || named.st_ino != file.st_ino) return Outcome::Moved;
  if (disposition == Disposition::CreateAlways && !made && ftruncate(fd, 0) != 0) return Outcome::Failed;
  // O_NONBLOCK only kept a FIFO from blocking the open; no file keeps it.
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return Outcome::Ready;
}

}  // namespace

File* Open(const char* path, Access access, Disposition disposition, bool* created) {
  char local[PathCapacity];
  if (!LocalPath(path, local)) return nullptr;
  const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    bool made = false;
    const int fd = OpenForDisposition(local, flags, disposition, &made);
    if (fd < 0) return nullptr;
    const Outcome outcome = Prepare(fd, local, access, disposition, made);
    if (outcome == Outcome::Ready) {
      if (created != nullptr) *created = made;
      return FileOf(fd);
    }
    close(fd);
    if (outcome == Outcome::Failed) return nullptr;
  }
  return nullptr;
}

// Linux releases the descriptor even when close reports an error.
bool Close(File* file) { return close(DescriptorOf(file)) == 0 || errno == EINTR; }

}  // namespace os::posix
