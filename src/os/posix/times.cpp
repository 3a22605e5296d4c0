// File times. Linux keeps no settable creation time, so Doved keeps it in a
// user extended attribute, which travels with the file where copy tools
// carry attributes; a file without one reports the birth time that the file
// system keeps, when it keeps one. The last-write time is the file's own.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>

#include "os/posix/descriptor.h"
#include "os/posix/file_time.h"
#include "os/posix/methods.h"

namespace os::posix {
namespace {

constexpr const char* CreationTimeAttribute = "user.doved.creation_time";
constexpr std::size_t CreationTimeBytes = 8;  // little-endian FileTime

bool NoAttribute(int error) { return error == ENODATA || error == ENOTSUP || error == EOPNOTSUPP || error == ERANGE; }

// The stored creation time, else the birth time, else 0.
bool CreationTime(const OpenFile& file, FileTime* out) {
  const int fd = file.fd;
  std::uint8_t bytes[CreationTimeBytes];
  const ssize_t n = fgetxattr(fd, CreationTimeAttribute, bytes, sizeof bytes);
  if (n == static_cast<ssize_t>(CreationTimeBytes)) {
    FileTime time = 0;
    for (std::size_t i = CreationTimeBytes; i-- > 0;) time = time << 8 | bytes[i];
    *out = time;
    return true;
  }
  if (n < 0 && !NoAttribute(errno)) return false;
  // The birth time never changes: it was read when the file was opened.
  *out = file.born ? FileTimeOf(file.birthSeconds, file.birthNanoseconds) : 0;
  return true;
}

// A file system that keeps no user attributes cannot keep the time; it is
// dropped, as the file's other attributes would be on such a disk.
bool StoreCreationTime(int fd, FileTime time) {
  std::uint8_t bytes[CreationTimeBytes];
  for (std::uint8_t& byte : bytes) {
    byte = static_cast<std::uint8_t>(time);
    time >>= 8;
  }
  return fsetxattr(fd, CreationTimeAttribute, bytes, sizeof bytes, 0) == 0 || errno == ENOTSUP || errno == EOPNOTSUPP;
}

}  // namespace

bool GetTimes(File* file, FileTime* creation, FileTime* lastWrite) {
  const int fd = DescriptorOf(file);
  FileTime made = 0;
  FileTime written = 0;
  if (creation != nullptr && !CreationTime(*OpenFileOf(file), &made)) return false;
  if (lastWrite != nullptr) {
    struct stat status;
    if (fstat(fd, &status) != 0) return false;
    written = FileTimeOf(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
  }
  if (creation != nullptr) *creation = made;
  if (lastWrite != nullptr) *lastWrite = written;
  return true;
}

// As on Windows, the times of a file opened only for reading stay as they are.
bool SetTimes(File* file, FileTime creation, FileTime lastWrite) {
  const int fd = DescriptorOf(file);
  if (!OpenFileOf(file)->writable) return false;
  if (lastWrite != 0) {
    const timespec times[2] = {{0, UTIME_OMIT}, TimespecOf(lastWrite)};
    if (futimens(fd, times) != 0) return false;
  }
  return creation == 0 || StoreCreationTime(fd, creation);
}

}  // namespace os::posix
