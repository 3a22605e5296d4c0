#include "os/posix/paths.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os/posix/methods.h"

namespace os::posix {
namespace {

// As many links as the kernel follows in one path.
constexpr int MaxLinks = 40;

// Joins `directory`, '/' and `name` into `out`; false when it does not fit.
bool Join(const char* directory, const char* name, char* out) {
  const std::size_t head = std::strlen(directory);
  const std::size_t tail = std::strlen(name);
  const bool separated = head > 0 && directory[head - 1] == '/';
  const std::size_t total = head + (separated ? 0 : 1) + tail;
  if (total >= PathCapacity) return false;
  std::memmove(out, directory, head);
  std::size_t at = head;
  if (!separated) out[at++] = '/';
  std::memmove(out + at, name, tail);
  out[total] = '\0';
  return true;
}

// The final name of `path`, after its last '/'.
const char* NameOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

}  // namespace

bool LocalPath(const char* path, char* out) {
  if (path == nullptr || *path == '\0') return false;
  std::size_t i = 0;
  for (; path[i] != '\0'; ++i) {
    if (i + 1 >= PathCapacity) return false;
    out[i] = path[i] == '\\' ? '/' : path[i];
  }
  out[i] = '\0';
  return true;
}

void DirectoryOf(const char* path, char* out) {
  std::size_t end = std::strlen(path);
  while (end > 1 && path[end - 1] == '/') --end;  // trailing separators
  while (end > 0 && path[end - 1] != '/') --end;  // the name
  while (end > 1 && path[end - 1] == '/') --end;  // separators before it
  if (end == 0) {
    std::strcpy(out, ".");
    return;
  }
  std::memmove(out, path, end);
  out[end] = '\0';
}

bool Resolve(const char* path, char* out) {
  char current[PathCapacity];
  if (std::strlen(path) >= PathCapacity) return false;
  std::strcpy(current, path);
  for (int links = 0;; ++links) {
    struct stat status;
    if (lstat(current, &status) != 0) {
      if (errno != ENOENT) return false;
      break;
    }
    if (!S_ISLNK(status.st_mode)) return realpath(current, out) != nullptr;
    if (links == MaxLinks) return false;
    char target[PathCapacity];
    const ssize_t length = readlink(current, target, sizeof target - 1);
    if (length <= 0) return false;
    target[length] = '\0';
    if (target[0] == '/') {
      std::strcpy(current, target);
    } else {
      char directory[PathCapacity];
      DirectoryOf(current, directory);
      if (!Join(directory, target, current)) return false;
    }
  }
  // The final file is missing: the directory must exist.
  const char* name = NameOf(current);
  if (*name == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  char directory[PathCapacity];
  DirectoryOf(current, directory);
  char resolved[PathCapacity];
  if (realpath(directory, resolved) == nullptr) return false;
  return Join(resolved, name, out);
}

std::uint32_t ResolvePath(const char* path, char* out, std::uint32_t size) {
  char local[PathCapacity];
  char resolved[PathCapacity];
  if (!LocalPath(path, local) || !Resolve(local, resolved)) return 0;
  const std::size_t length = std::strlen(resolved);
  if (length >= size) return 0;
  std::memcpy(out, resolved, length + 1);
  return static_cast<std::uint32_t>(length);
}

bool SyncDirectoryOf(const char* path) {
  char directory[PathCapacity];
  DirectoryOf(path, directory);
  const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

}  // namespace os::posix
