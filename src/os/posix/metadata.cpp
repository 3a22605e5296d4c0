// What a file carries beside its bytes and times: its permissions and its
// extended attributes, the creation time among them.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"
#include "os/posix/sharing.h"

namespace os::posix {
namespace {

// A file system that keeps no extended attributes, or a name that this file
// system or this user cannot set, is no failure: the bytes are what matters.
bool Tolerable(int error) { return error == ENOTSUP || error == EOPNOTSUPP || error == EPERM || error == EACCES; }

bool CopyAttributes(int from, int to) {
  const ssize_t listed = flistxattr(from, nullptr, 0);
  if (listed < 0) return Tolerable(errno);
  if (listed == 0) return true;
  char* names = static_cast<char*>(std::malloc(static_cast<std::size_t>(listed)));
  if (names == nullptr) return false;
  const ssize_t length = flistxattr(from, names, static_cast<std::size_t>(listed));
  bool ok = length >= 0;
  for (ssize_t at = 0; ok && at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    const char* name = names + at;
    const ssize_t size = fgetxattr(from, name, nullptr, 0);
    if (size < 0) continue;  // gone meanwhile
    void* value = std::malloc(size > 0 ? static_cast<std::size_t>(size) : 1);
    if (value == nullptr) {
      ok = false;
      break;
    }
    const ssize_t read = fgetxattr(from, name, value, static_cast<std::size_t>(size));
    if (read >= 0 && fsetxattr(to, name, value, static_cast<std::size_t>(read), 0) != 0 && !Tolerable(errno)) {
      ok = false;
    }
    std::free(value);
  }
  std::free(names);
  return ok;
}

}  // namespace

// A read-only file is never replaced, so the file that is to replace it has
// no use for that attribute: it keeps its owner's write permission, and so
// stays removable when the replacement is refused.
bool CopyMetadata(File* from, File* to) {
  const int source = DescriptorOf(from);
  const int target = DescriptorOf(to);
  struct stat status;
  if (fstat(source, &status) != 0) return false;
  const mode_t mode = (status.st_mode & 07777) | (IsReadOnly(status.st_mode) ? S_IWUSR : 0);
  if (fchmod(target, mode) != 0) return false;
  return CopyAttributes(source, target);
}

}  // namespace os::posix
