#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/file_sharing.h"
#include "platform/posix/files.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/posix_path.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

namespace {

using posix_files::ErrorFromErrnoForPath;

// A path that vanishes between the exclusive create and the plain open is
// tried again; a dangling symbolic link would do so forever.
constexpr int OpenAlwaysAttempts = 8;

// The kernel's usual read-ahead window. A file no longer than this is read
// ahead whole without any hint, so FILE_FLAG_SEQUENTIAL_SCAN is passed on
// only for longer files.
constexpr std::uint64_t DefaultReadAhead = 128 * 1024;

int OpenPath(const std::string& path, int flags) {
  int fd;
  do {
    fd = open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Opens `path` as the disposition says, without truncating yet (the file may
// be in use by another open). `created` tells whether this call made it.
int OpenForDisposition(const std::string& path, int flags, DWORD disposition, bool& created) {
  created = false;
  switch (disposition) {
    case CREATE_NEW:
      created = true;
      return OpenPath(path, flags | O_CREAT | O_EXCL);
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      return OpenPath(path, flags);
    default:  // CREATE_ALWAYS, OPEN_ALWAYS
      for (int attempt = 0; attempt < OpenAlwaysAttempts; ++attempt) {
        int fd = OpenPath(path, flags | O_CREAT | O_EXCL);
        if (fd >= 0) {
          created = true;
          return fd;
        }
        if (errno != EEXIST) return -1;
        fd = OpenPath(path, flags);
        if (fd >= 0 || errno != ENOENT) return fd;
      }
      return -1;
  }
}

int AccessFlags(DWORD access) {
  const bool reads = (access & GENERIC_READ) != 0;
  const bool writes = (access & GENERIC_WRITE) != 0;
  if (writes) return reads ? O_RDWR : O_WRONLY;
  return O_RDONLY;
}

// Everything after the open: the share lock, the kind of file, the read-only
// attribute, the truncation and the read-ahead hint; the length and birth
// time go into `file`. Errors come back as Windows codes. A reader locks the
// file before it looks at it, so that the length it sees holds for as long
// as it keeps the file: no writer can open it meanwhile. A writer looks
// first, and refuses a read-only file without ever holding it.
DWORD PrepareOpenFile(int fd, bool writable, bool created, DWORD shareMode, DWORD disposition, bool sequentialScan,
                      posix_files::HandleObject& file) {
  const bool readerLocked = !writable && posix_files::LockForOpen(fd, (shareMode & FILE_SHARE_READ) != 0);
  const int lockError = errno;
  // One call for the status and the birth time (glibc falls back to fstat
  // on kernels without statx, and then reports no birth time).
  struct statx status {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_BTIME, &status) != 0) {
    return posix_files::ErrorFromErrno(errno);
  }
  if (!S_ISREG(status.stx_mode)) return ERROR_ACCESS_DENIED;
  if (writable && !created && posix_files::IsReadOnlyFile(status.stx_mode)) return ERROR_ACCESS_DENIED;
  if (!writable && !readerLocked) return posix_files::ErrorFromErrno(lockError);
  if (writable && !posix_files::LockForOpen(fd, false)) return posix_files::ErrorFromErrno(errno);
  const bool truncates = disposition == TRUNCATE_EXISTING || (disposition == CREATE_ALWAYS && !created);
  if (truncates && ftruncate(fd, 0) != 0) return posix_files::ErrorFromErrno(errno);
  // O_NONBLOCK was the only status flag of the open: clearing all of them
  // clears it without asking for the others first. Reads of a regular file
  // do not heed the flag, so a reader keeps it (as GNU tar does).
  if (writable) fcntl(fd, F_SETFL, 0);
  if (sequentialScan && !truncates && status.stx_size > DefaultReadAhead) {
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  file.size = status.stx_size;
  file.hasBirthTime = (status.stx_mask & STATX_BTIME) != 0;
  file.birthTime = status.stx_btime;
  return ERROR_SUCCESS;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE) {
  if (platform_test::ShouldFail(platform_test::Fault::CreateFile)) return Fail(ERROR_ACCESS_DENIED);
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER);
  if (disposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0) return Fail(ERROR_INVALID_PARAMETER);
  if (path == nullptr || *path == '\0') return Fail(ERROR_PATH_NOT_FOUND);

  const std::string file = posix_files::PosixPath(path);
  const bool writable = (access & GENERIC_WRITE) != 0;
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused right after.
  const int flags = AccessFlags(access) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  bool created = false;
  const int fd = OpenForDisposition(file, flags, disposition, created);
  if (fd < 0) return Fail(ErrorFromErrnoForPath(errno, file));

  const bool sequentialScan = (flagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN) != 0;
  posix_files::HandleObject object{};
  object.kind = posix_files::HandleKind::File;
  object.fd = fd;
  object.writable = writable;
  const DWORD error = PrepareOpenFile(fd, writable, created, shareMode, disposition, sequentialScan, object);
  if (error != ERROR_SUCCESS) {
    if (created) unlink(file.c_str());
    close(fd);
    return Fail(error);
  }

  const HANDLE handle = posix_files::AddHandle(object);
  if (handle == nullptr) {
    if (created) unlink(file.c_str());
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  const bool reportsExisting = !created && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}
