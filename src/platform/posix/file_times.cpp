// File times. Linux keeps no settable creation time, so it is kept in a user
// extended attribute of the file; the last-access and last-write times are
// the file's own, with their full precision.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/files.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

namespace {

using platform_test::Fault;

constexpr const char* CreationTimeAttribute = "user.doved.creation_time";
constexpr std::size_t CreationTimeBytes = 8;

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t UnixEpochAsFileTime = 116444736000000000LL;
constexpr std::int64_t TicksPerSecond = 10000000;

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(std::uint64_t ticks) {
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// Times outside the range of FILETIME (before 1601, or too far ahead) read as 0.
FILETIME FromUnixTime(std::int64_t seconds, std::int64_t nanoseconds) {
  constexpr std::int64_t FirstSecond = -UnixEpochAsFileTime / TicksPerSecond;
  constexpr std::int64_t LastSecond = (INT64_MAX - UnixEpochAsFileTime) / TicksPerSecond - 1;
  if (seconds < FirstSecond || seconds > LastSecond) return FromTicks(0);
  return FromTicks(static_cast<std::uint64_t>(seconds * TicksPerSecond + nanoseconds / 100 + UnixEpochAsFileTime));
}

// UTIME_OMIT for a time that is absent or 0; false for one beyond FILETIME's range.
bool ToTimespec(const FILETIME* time, timespec& out) {
  if (time == nullptr || Ticks(*time) == 0) {
    out = {0, UTIME_OMIT};
    return true;
  }
  if (Ticks(*time) > static_cast<std::uint64_t>(INT64_MAX)) return false;
  const std::int64_t sinceUnixEpoch = static_cast<std::int64_t>(Ticks(*time)) - UnixEpochAsFileTime;
  std::int64_t seconds = sinceUnixEpoch / TicksPerSecond;
  std::int64_t remainder = sinceUnixEpoch % TicksPerSecond;
  if (remainder < 0) {
    remainder += TicksPerSecond;
    --seconds;
  }
  out = {static_cast<time_t>(seconds), static_cast<long>(remainder * 100)};
  return true;
}

// The stored creation time, else the birth time, else 0; false with the
// error set when the file cannot be asked.
bool ReadCreationTime(const posix_files::HandleObject& file, FILETIME& out) {
  unsigned char bytes[CreationTimeBytes];
  const ssize_t n = fgetxattr(file.fd, CreationTimeAttribute, bytes, sizeof bytes);
  if (n == static_cast<ssize_t>(CreationTimeBytes)) {
    std::uint64_t ticks = 0;
    for (std::size_t i = CreationTimeBytes; i-- > 0;) ticks = (ticks << 8) | bytes[i];
    out = FromTicks(ticks);
    return true;
  }
  if (n < 0 && errno != ENODATA && errno != ENOTSUP && errno != ERANGE) {
    SetLastError(posix_files::ErrorFromErrno(errno));
    return false;
  }
  out = file.hasBirthTime ? FromUnixTime(file.birthTime.tv_sec, file.birthTime.tv_nsec) : FromTicks(0);
  return true;
}

// A file system without user attributes cannot keep the time; it is dropped.
bool WriteCreationTime(int fd, const FILETIME& time) {
  unsigned char bytes[CreationTimeBytes];
  std::uint64_t ticks = Ticks(time);
  for (unsigned char& byte : bytes) {
    byte = static_cast<unsigned char>(ticks);
    ticks >>= 8;
  }
  if (fsetxattr(fd, CreationTimeAttribute, bytes, sizeof bytes, 0) == 0 || errno == ENOTSUP) return true;
  SetLastError(posix_files::ErrorFromErrno(errno));
  return false;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

BOOL GetFileTime(HANDLE handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  if (platform_test::ShouldFail(Fault::GetFileTime)) return Fail(ERROR_ACCESS_DENIED);
  posix_files::HandleObject file{};
  if (!posix_files::FindHandle(handle, posix_files::HandleKind::File, file)) return FALSE;
  // The file is asked only for the times wanted: packing reads the creation
  // time alone, of every file it packs.
  struct stat status {};
  if ((lastAccess != nullptr || lastWrite != nullptr) && fstat(file.fd, &status) != 0) {
    return Fail(posix_files::ErrorFromErrno(errno));
  }
  FILETIME created{};
  if (creation != nullptr && !ReadCreationTime(file, created)) return FALSE;
  if (creation != nullptr) *creation = created;
  if (lastAccess != nullptr) *lastAccess = FromUnixTime(status.st_atim.tv_sec, status.st_atim.tv_nsec);
  if (lastWrite != nullptr) *lastWrite = FromUnixTime(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
  return TRUE;
}

BOOL SetFileTime(HANDLE handle, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  if (platform_test::ShouldFail(Fault::SetFileTime)) return Fail(ERROR_ACCESS_DENIED);
  posix_files::HandleObject file{};
  if (!posix_files::FindHandle(handle, posix_files::HandleKind::File, file)) return FALSE;
  if (!file.writable) return Fail(ERROR_ACCESS_DENIED);
  timespec times[2];
  if (!ToTimespec(lastAccess, times[0]) || !ToTimespec(lastWrite, times[1])) return Fail(ERROR_INVALID_PARAMETER);
  if (creation != nullptr && Ticks(*creation) > static_cast<std::uint64_t>(INT64_MAX)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (times[0].tv_nsec != UTIME_OMIT || times[1].tv_nsec != UTIME_OMIT) {
    if (futimens(file.fd, times) != 0) return Fail(posix_files::ErrorFromErrno(errno));
  }
  if (creation != nullptr && Ticks(*creation) != 0 && !WriteCreationTime(file.fd, *creation)) return FALSE;
  return TRUE;
}
