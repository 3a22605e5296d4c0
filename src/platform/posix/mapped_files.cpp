#include "platform/posix/mapped_files.h"

#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace posix_files {
namespace {

std::mutex mappedMutex;
// Live mappings plus views of each file.
std::map<std::pair<dev_t, ino_t>, unsigned> users;

}  // namespace

bool NoteMapped(dev_t device, ino_t inode) {
  std::lock_guard lock(mappedMutex);
  try {
    ++users[{device, inode}];
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void NoteUnmapped(dev_t device, ino_t inode) {
  std::lock_guard lock(mappedMutex);
  const auto found = users.find({device, inode});
  if (found != users.end() && --found->second == 0) users.erase(found);
}

bool IsMapped(dev_t device, ino_t inode) {
  std::lock_guard lock(mappedMutex);
  return users.count({device, inode}) != 0;
}

}  // namespace posix_files
