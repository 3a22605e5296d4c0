// Size, position, reading, writing, length and flushing of an open file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"

namespace os::posix {

bool Size(File* file, std::uint64_t* size) {
  const OpenFile& open = *OpenFileOf(file);
  if (!open.writable) {
    *size = open.size;
    return true;
  }
  struct stat status;
  if (fstat(open.fd, &status) != 0) return false;
  *size = static_cast<std::uint64_t>(status.st_size);
  return true;
}

// A read of a regular file may return less than asked before its end; the
// loop goes on until the count or the end of the file.
bool Read(File* file, void* bytes, std::uint32_t count, std::uint32_t* done) {
  auto* next = static_cast<unsigned char*>(bytes);
  std::uint32_t got = 0;
  bool ok = true;
  while (got < count) {
    const ssize_t n = read(DescriptorOf(file), next + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    got += static_cast<std::uint32_t>(n);
  }
  if (done != nullptr) *done = got;
  return ok;
}

// A write that makes no progress (a full disk) fails with what it wrote.
bool Write(File* file, const void* bytes, std::uint32_t count, std::uint32_t* done) {
  const auto* next = static_cast<const unsigned char*>(bytes);
  std::uint32_t put = 0;
  bool ok = true;
  while (put < count) {
    const ssize_t n = write(DescriptorOf(file), next + put, count - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    put += static_cast<std::uint32_t>(n);
  }
  if (done != nullptr) *done = put;
  return ok;
}

bool Flush(File* file) { return fsync(DescriptorOf(file)) == 0; }

}  // namespace os::posix
