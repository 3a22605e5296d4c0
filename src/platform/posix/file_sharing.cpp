#include "platform/posix/file_sharing.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace posix_files {

bool LockForOpen(int fd, bool shared) {
  int result;
  do {
    result = flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

int HoldForRemoval(const std::string& path, bool& inUse) {
  inUse = false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) return -1;
  if (!LockForOpen(fd, false)) {
    inUse = errno == EWOULDBLOCK;
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace posix_files
