// How many descriptors this process holds, to catch leaked or lost ones.
#pragma once

#include <dirent.h>

inline int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}
