#include <dlfcn.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/posix/process.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG UnixEpochAsFileTime = 116444736000000000ULL;

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&delay, &delay) != 0) {
  }
}

void GetSystemTimeAsFileTime(FILETIME* time) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const ULONGLONG ticks =
      UnixEpochAsFileTime + static_cast<ULONGLONG>(now.tv_sec) * 10000000ULL + static_cast<ULONGLONG>(now.tv_nsec) / 100;
  time->dwLowDateTime = static_cast<DWORD>(ticks);
  time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  counter->QuadPart = static_cast<LONGLONG>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  return TRUE;
}

// Like Windows: copies at most size - 1 characters plus NUL; on truncation
// returns `size` and sets ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  char resolved[PATH_MAX];
  const char* path = nullptr;
  if (module == nullptr) {
    const ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (n >= 0) {
      resolved[n] = '\0';
      path = resolved;
    }
  } else {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(module), &info) != 0 && info.dli_fname != nullptr) {
      path = realpath(info.dli_fname, resolved) != nullptr ? resolved : info.dli_fname;
    }
  }
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const size_t length = std::strlen(path);
  if (length >= size) {
    std::memcpy(buffer, path, size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path, length + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(length);
}
