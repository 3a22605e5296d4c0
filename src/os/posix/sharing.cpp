#include "os/posix/sharing.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace os::posix {
namespace {

bool Lock(int fd, int operation) {
  int result;
  do {
    result = flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

}  // namespace

bool TakeShare(int fd, Access access) { return Lock(fd, access == Access::Read ? LOCK_SH : LOCK_EX); }

int HoldForRemoval(const char* path, bool* busy) {
  *busy = false;
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0) return -1;
  if (!Lock(fd, LOCK_EX)) {
    *busy = errno == EWOULDBLOCK;
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace os::posix
