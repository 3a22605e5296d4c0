// The clock, the process heap, the module path and the profile calls of Windows.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "os/unicode_text.h"
#include "os/windows/windows_file_time.h"
#include "os/windows/windows_wide.h"

namespace os::windows {
namespace {

HANDLE ProcessHeap() {
  // The same value whichever thread asks first.
  static const HANDLE heap = GetProcessHeap();
  return heap;
}

}  // namespace

FileTime Now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FromFileTime(now);
}

// The performance counter in nanoseconds: whole seconds and the rest apart,
// so that neither product overflows.
std::uint64_t Counter() {
  static const std::uint64_t frequency = [] {
    LARGE_INTEGER perSecond;
    QueryPerformanceFrequency(&perSecond);
    return static_cast<std::uint64_t>(perSecond.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
  return ticks / frequency * 1000000000u + ticks % frequency * 1000000000u / frequency;
}

void Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t LocalDosDateTime(FileTime time) {
  const FILETIME utc = ToFileTime(time);
  FILETIME local;
  WORD date;
  WORD dosTime;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &dosTime)) return 0;
  return static_cast<std::uint32_t>(date) << 16 | dosTime;
}

void* Allocate(std::size_t size) { return HeapAlloc(ProcessHeap(), HEAP_ZERO_MEMORY, size); }

void* Reallocate(void* block, std::size_t, std::size_t size) {
  return HeapReAlloc(ProcessHeap(), HEAP_ZERO_MEMORY, block, size);
}

bool Free(void* block) { return HeapFree(ProcessHeap(), 0, block) != FALSE; }

// A module path longer than the host's wide records hold counts as cut short.
std::uint32_t ModulePath(const void* module, char* out, std::uint32_t size) {
  wchar_t path[MaxPathUnits];
  const DWORD units = GetModuleFileNameW(static_cast<HMODULE>(const_cast<void*>(module)), path, MaxPathUnits);
  if (units == 0) return 0;
  if (units >= MaxPathUnits || !Utf16ToUtf8(path, out, size)) return size;
  std::uint32_t length = 0;
  while (out[length] != '\0') ++length;
  return length;
}

void ReadProfile(const char* path, const char* section, ProfileValue* values, std::uint32_t count) {
  const WidePath widePath(path);
  const WideText wideSection(section);
  if (widePath.Get() == nullptr || wideSection.Get() == nullptr) return;
  for (std::uint32_t i = 0; i < count; ++i) {
    ProfileValue& value = values[i];
    const WideText key(value.key);
    if (key.Get() == nullptr) continue;
    if (value.kind == ProfileValue::Kind::Number) {
      value.number = GetPrivateProfileIntW(wideSection.Get(), key.Get(), static_cast<INT>(value.number), widePath.Get());
    } else {
      value.found =
          GetPrivateProfileStructW(wideSection.Get(), key.Get(), value.bytes, value.size, widePath.Get()) != FALSE;
    }
  }
}

std::uint32_t WriteProfile(const char* path, const char* section, const ProfileValue* values, std::uint32_t count) {
  const WidePath widePath(path);
  const WideText wideSection(section);
  if (widePath.Get() == nullptr || wideSection.Get() == nullptr) return GetLastError();
  for (std::uint32_t i = 0; i < count; ++i) {
    const ProfileValue& value = values[i];
    const WideText key(value.key);
    BOOL written = FALSE;
    if (key.Get() == nullptr) {
      // The conversion has set the error.
    } else if (value.kind == ProfileValue::Kind::Number) {
      wchar_t text[16];
      std::swprintf(text, sizeof text / sizeof *text, L"%u", value.number);
      written = WritePrivateProfileStringW(wideSection.Get(), key.Get(), text, widePath.Get());
    } else {
      written = WritePrivateProfileStructW(wideSection.Get(), key.Get(), value.bytes, value.size, widePath.Get());
    }
    if (!written) {
      const DWORD error = GetLastError();
      return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
  }
  return 0;
}

// Access rights on Windows are lists that only the system can weigh: a file
// is made, seen by nobody else and gone again when it is closed.
bool CanCreateIn(const char* directory) {
  char path[MaxPathBytes + 64];
  const int length = std::snprintf(path, sizeof path, "%s\\Doved.%lu.%lu.probe", directory, GetCurrentProcessId(),
                                   GetCurrentThreadId());
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return false;
  const WidePath widePath(path);
  if (widePath.Get() == nullptr) return false;
  const HANDLE file = CreateFileW(widePath.Get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace os::windows
