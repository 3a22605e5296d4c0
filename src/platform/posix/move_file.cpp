#include <fcntl.h>
#include <stdio.h>
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

// Locks that keep the source and the replaced target from being opened
// while the rename runs; released when the rename is over.
class RemovalHolds {
 public:
  RemovalHolds() = default;
  RemovalHolds(const RemovalHolds&) = delete;
  RemovalHolds& operator=(const RemovalHolds&) = delete;
  ~RemovalHolds() {
    for (int fd : fds_) {
      if (fd >= 0) close(fd);
    }
  }
  // False when another open holds the regular file at `path`.
  bool Hold(const std::string& path, const struct stat& status) {
    if (!S_ISREG(status.st_mode)) return true;
    bool inUse = false;
    fds_[count_++] = posix_files::HoldForRemoval(path, inUse);
    return !inUse;
  }

 private:
  int fds_[2] = {-1, -1};
  int count_ = 0;
};

// Renames without replacing an existing target, atomically where the file
// system can.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  struct stat existing {};
  if (lstat(to.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

// Makes the rename durable: the directory that now holds the target is synced.
DWORD SyncDirectoryOf(const std::string& path) {
  const int fd = open(posix_files::ParentDirectory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return posix_files::ErrorFromErrno(errno);
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  return synced ? ERROR_SUCCESS : posix_files::ErrorFromErrno(error);
}

}  // namespace

// Without MOVEFILE_REPLACE_EXISTING an existing target fails the call with
// ERROR_ALREADY_EXISTS. A source in use fails with ERROR_SHARING_VIOLATION; a
// target that is in use, read-only or a directory with ERROR_ACCESS_DENIED.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (platform_test::ShouldFail(platform_test::Fault::MoveFile)) return Fail(ERROR_ACCESS_DENIED);
  if (from == nullptr || to == nullptr || *from == '\0' || *to == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const std::string source = posix_files::PosixPath(from);
  const std::string target = posix_files::PosixPath(to);

  struct stat sourceStatus {};
  if (lstat(source.c_str(), &sourceStatus) != 0) return Fail(posix_files::ErrorFromErrnoForPath(errno, source));
  RemovalHolds holds;
  if (!holds.Hold(source, sourceStatus)) return Fail(ERROR_SHARING_VIOLATION);

  const bool replaces = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  struct stat targetStatus {};
  const bool targetExists = lstat(target.c_str(), &targetStatus) == 0;
  if (targetExists && !replaces) return Fail(ERROR_ALREADY_EXISTS);
  if (targetExists && (S_ISDIR(targetStatus.st_mode) || posix_files::IsReadOnlyFile(targetStatus.st_mode))) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  if (targetExists && !holds.Hold(target, targetStatus)) return Fail(ERROR_ACCESS_DENIED);

  const bool renamed = replaces ? rename(source.c_str(), target.c_str()) == 0 : RenameWithoutReplacing(source, target);
  if (!renamed) {
    if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    return Fail(posix_files::ErrorFromErrnoForPath(errno, target));
  }
  if (flags & MOVEFILE_WRITE_THROUGH) {
    const DWORD error = SyncDirectoryOf(target);
    if (error != ERROR_SUCCESS) return Fail(error);
  }
  return TRUE;
}
