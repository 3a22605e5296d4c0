// An open file: how its descriptor is opened, and what was learnt of it then.
// A file opened for reading holds a shared lock from before its status was
// read, so no writer that takes the lock can have changed it since: its
// length and birth time serve every later question without another call.
#pragma once

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "os/os.h"

namespace os::posix {

struct OpenFile {
  int fd;
  bool writable;
  std::uint64_t size;  // the length at open; current only for a file opened for reading
  bool born;           // the file system keeps a birth time, `birth`
  std::int64_t birthSeconds;
  long birthNanoseconds;
};

inline OpenFile* OpenFileOf(File* file) { return reinterpret_cast<OpenFile*>(file); }

inline int DescriptorOf(File* file) { return OpenFileOf(file)->fd; }

// open(2) with `flags` (a file it makes gets 0666 less the umask), tried again
// when a signal interrupts it.
inline int OpenPath(const char* path, int flags) {
  int fd;
  do {
    fd = open(path, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The object for a newly opened descriptor, or null (with the descriptor
// left to the caller) when there is no memory for it.
inline File* FileOf(int fd, bool writable) {
  auto* open = static_cast<OpenFile*>(std::calloc(1, sizeof(OpenFile)));
  if (open == nullptr) return nullptr;
  open->fd = fd;
  open->writable = writable;
  return reinterpret_cast<File*>(open);
}

}  // namespace os::posix
