// The names in a directory: finding them by their start, and putting a new
// one on the disk.
#include <dirent.h>

#include <cerrno>
#include <cstring>

#include "os/posix/methods.h"
#include "os/posix/paths.h"

namespace os::posix {

bool FindNames(const char* prefix, void (*found)(void* context, const char* rest), void* context) {
  char local[PathCapacity];
  if (!LocalPath(prefix, local)) return false;
  char directory[PathCapacity];
  DirectoryOf(local, directory);
  const char* slash = std::strrchr(local, '/');
  const char* start = slash != nullptr ? slash + 1 : local;
  const std::size_t length = std::strlen(start);
  DIR* listing = opendir(directory);
  if (listing == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(listing);
    if (entry == nullptr) break;
    if (std::strncmp(entry->d_name, start, length) == 0) found(context, entry->d_name + length);
  }
  const bool complete = errno == 0;
  closedir(listing);
  return complete;
}

// A file's own fsync leaves its directory entry to the directory.
bool FlushName(const char* path) {
  char local[PathCapacity];
  char target[PathCapacity];
  return LocalPath(path, local) && Resolve(local, target) && SyncDirectoryOf(target);
}

}  // namespace os::posix
