// Size, position, reading, writing, length and flushing of an open file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/files.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/mapped_files.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

namespace {

using platform_test::Fault;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL FailFromErrno() { return Fail(posix_files::ErrorFromErrno(errno)); }

// The open file behind `handle`, or false with the error set; `needsWrite`
// asks for a handle opened with GENERIC_WRITE.
bool FindFile(HANDLE handle, bool needsWrite, posix_files::HandleObject& file) {
  if (!posix_files::FindHandle(handle, posix_files::HandleKind::File, file)) return false;
  if (needsWrite && !file.writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

}  // namespace

BOOL GetFileSizeEx(HANDLE handle, LARGE_INTEGER* size) {
  if (platform_test::ShouldFail(Fault::GetFileSize)) return Fail(ERROR_ACCESS_DENIED);
  posix_files::HandleObject file{};
  if (!FindFile(handle, false, file)) return FALSE;
  // Nobody can change the length of a file held by a reader.
  if (!file.writable) {
    size->QuadPart = static_cast<LONGLONG>(file.size);
    return TRUE;
  }
  struct stat status {};
  if (fstat(file.fd, &status) != 0) return FailFromErrno();
  size->QuadPart = status.st_size;
  return TRUE;
}

BOOL ReadFile(HANDLE handle, LPVOID bytes, DWORD count, DWORD* read, LPOVERLAPPED) {
  if (read != nullptr) *read = 0;
  if (platform_test::ShouldFail(Fault::ReadFile)) return Fail(ERROR_READ_FAULT);
  posix_files::HandleObject file{};
  if (!FindFile(handle, false, file)) return FALSE;
  auto* next = static_cast<char*>(bytes);
  DWORD done = 0;
  while (done < count) {
    const ssize_t n = ::read(file.fd, next + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (read != nullptr) *read = done;
      // The handle is an open file: it was opened without GENERIC_READ.
      return errno == EBADF ? Fail(ERROR_ACCESS_DENIED) : FailFromErrno();
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (read != nullptr) *read = done;
  return TRUE;
}

// A short write is a failure (the disk is full or the file too large) that
// reports how much was written.
BOOL WriteFile(HANDLE handle, LPCVOID bytes, DWORD count, DWORD* written, LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  if (platform_test::ShouldFail(Fault::WriteFile)) return Fail(ERROR_DISK_FULL);
  posix_files::HandleObject file{};
  if (!FindFile(handle, true, file)) return FALSE;
  const auto* next = static_cast<const char*>(bytes);
  DWORD done = 0;
  while (done < count) {
    const ssize_t n = write(file.fd, next + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written != nullptr) *written = done;
      return n < 0 ? FailFromErrno() : Fail(ERROR_DISK_FULL);
    }
    done += static_cast<DWORD>(n);
  }
  if (written != nullptr) *written = done;
  return TRUE;
}

BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER distance, LARGE_INTEGER* newPosition, DWORD method) {
  if (platform_test::ShouldFail(Fault::SetFilePointer)) return Fail(ERROR_INVALID_PARAMETER);
  posix_files::HandleObject file{};
  if (!FindFile(handle, false, file)) return FALSE;
  int whence;
  switch (method) {
    case FILE_BEGIN:
      whence = SEEK_SET;
      break;
    case FILE_CURRENT:
      whence = SEEK_CUR;
      break;
    case FILE_END:
      whence = SEEK_END;
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER);
  }
  const off_t position = lseek(file.fd, distance.QuadPart, whence);
  if (position < 0) return errno == EINVAL ? Fail(ERROR_NEGATIVE_SEEK) : FailFromErrno();
  if (newPosition != nullptr) newPosition->QuadPart = position;
  return TRUE;
}

BOOL SetEndOfFile(HANDLE handle) {
  if (platform_test::ShouldFail(Fault::SetEndOfFile)) return Fail(ERROR_ACCESS_DENIED);
  posix_files::HandleObject file{};
  if (!FindFile(handle, true, file)) return FALSE;
  struct stat status {};
  if (fstat(file.fd, &status) != 0) return FailFromErrno();
  if (posix_files::IsMapped(status.st_dev, status.st_ino)) return Fail(ERROR_USER_MAPPED_FILE);
  const off_t position = lseek(file.fd, 0, SEEK_CUR);
  if (position < 0 || ftruncate(file.fd, position) != 0) return FailFromErrno();
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  if (platform_test::ShouldFail(Fault::FlushFileBuffers)) return Fail(ERROR_WRITE_FAULT);
  posix_files::HandleObject file{};
  if (!FindFile(handle, true, file)) return FALSE;
  if (fsync(file.fd) != 0) return FailFromErrno();
  return TRUE;
}
