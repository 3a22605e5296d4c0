#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/file_sharing.h"
#include "platform/posix/files.h"
#include "platform/posix/posix_path.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

// As on Windows, a directory, a read-only file and a file that is open
// cannot be deleted.
BOOL DeleteFileA(LPCSTR path) {
  if (platform_test::ShouldFail(platform_test::Fault::DeleteFile)) return Fail(ERROR_ACCESS_DENIED);
  if (path == nullptr || *path == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const std::string file = posix_files::PosixPath(path);
  struct stat status {};
  if (lstat(file.c_str(), &status) != 0) return Fail(posix_files::ErrorFromErrnoForPath(errno, file));
  if (S_ISDIR(status.st_mode) || posix_files::IsReadOnlyFile(status.st_mode)) return Fail(ERROR_ACCESS_DENIED);

  int held = -1;
  if (S_ISREG(status.st_mode)) {
    bool inUse = false;
    held = posix_files::HoldForRemoval(file, inUse);
    if (inUse) return Fail(ERROR_SHARING_VIOLATION);
  }
  const bool removed = unlink(file.c_str()) == 0;
  const int error = errno;
  if (held >= 0) close(held);
  return removed ? TRUE : Fail(posix_files::ErrorFromErrnoForPath(error, file));
}
