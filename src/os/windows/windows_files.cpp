// Files through the Win32 calls: the handle is the File, opened for
// sequential reading, shared with readers only when opened read-only.
#include <windows.h>

#include <cstring>

#include "os/unicode_text.h"
#include "os/windows/windows_file_time.h"
#include "os/windows/windows_wide.h"

namespace os::windows {
namespace {

HANDLE HandleOf(File* file) { return reinterpret_cast<HANDLE>(file); }

DWORD CreationDisposition(Disposition disposition) {
  switch (disposition) {
    case Disposition::CreateNew:
      return CREATE_NEW;
    case Disposition::CreateAlways:
      return CREATE_ALWAYS;
    case Disposition::OpenExisting:
      return OPEN_EXISTING;
    case Disposition::OpenAlways:
      break;
  }
  return OPEN_ALWAYS;
}

// Right after CreateFileA succeeded: whether it made the file.
bool Created(Disposition disposition) {
  if (disposition == Disposition::CreateNew) return true;
  if (disposition == Disposition::OpenExisting) return false;
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace

File* Open(const char* path, Access access, Disposition disposition, bool* created) {
  const bool writable = access == Access::ReadWrite;
  const WidePath widePath(path);
  if (widePath.Get() == nullptr) return nullptr;
  const HANDLE handle = CreateFileW(widePath.Get(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), writable ? 0 : FILE_SHARE_READ,
                                    nullptr, CreationDisposition(disposition), FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (created != nullptr) *created = Created(disposition);
  return reinterpret_cast<File*>(handle);
}

bool Close(File* file) { return CloseHandle(HandleOf(file)) != FALSE; }

bool Size(File* file, std::uint64_t* size) {
  LARGE_INTEGER length;
  if (!GetFileSizeEx(HandleOf(file), &length)) return false;
  *size = static_cast<std::uint64_t>(length.QuadPart);
  return true;
}

bool Read(File* file, void* bytes, std::uint32_t count, std::uint32_t* done) {
  DWORD read = 0;
  const bool ok = ReadFile(HandleOf(file), bytes, count, &read, nullptr) != FALSE;
  if (done != nullptr) *done = read;
  return ok;
}

bool Write(File* file, const void* bytes, std::uint32_t count, std::uint32_t* done) {
  DWORD written = 0;
  const bool ok = WriteFile(HandleOf(file), bytes, count, &written, nullptr) != FALSE;
  if (done != nullptr) *done = written;
  return ok;
}

bool Flush(File* file) { return FlushFileBuffers(HandleOf(file)) != FALSE; }

bool MapView(File* file, Access access, std::uint64_t size, View* view) {
  const bool writable = access == Access::ReadWrite;
  const HANDLE mapping =
      CreateFileMappingW(HandleOf(file), nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) return false;
  void* bytes = MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
  if (bytes == nullptr) {
    CloseHandle(mapping);
    return false;
  }
  *view = {static_cast<const std::uint8_t*>(bytes), size, mapping};
  return true;
}

bool UnmapView(View* view) {
  bool ok = UnmapViewOfFile(view->bytes) != FALSE;
  if (!CloseHandle(static_cast<HANDLE>(view->system))) ok = false;
  *view = {};
  return ok;
}

bool GetTimes(File* file, FileTime* creation, FileTime* lastWrite) {
  FILETIME made;
  FILETIME written;
  if (!GetFileTime(HandleOf(file), creation != nullptr ? &made : nullptr, nullptr,
                   lastWrite != nullptr ? &written : nullptr)) {
    return false;
  }
  if (creation != nullptr) *creation = FromFileTime(made);
  if (lastWrite != nullptr) *lastWrite = FromFileTime(written);
  return true;
}

bool SetTimes(File* file, FileTime creation, FileTime lastWrite) {
  const FILETIME made = ToFileTime(creation);
  const FILETIME written = ToFileTime(lastWrite);
  return SetFileTime(HandleOf(file), creation != 0 ? &made : nullptr, nullptr, lastWrite != 0 ? &written : nullptr) !=
         FALSE;
}

bool Delete(const char* path) {
  const WidePath widePath(path);
  return widePath.Get() != nullptr && DeleteFileW(widePath.Get()) != FALSE;
}

// Windows makes no file without a name: a temporary file has one from the start.
File* CreateUnnamed(const char*) { return nullptr; }

bool Link(File*, const char*) { return false; }

// What Windows keeps of a file beside its times comes with the directory.
bool CopyMetadata(File*, File*) { return true; }

// A file that is open cannot be renamed over: the caller's own handle goes
// first. Only the move tells whether `to` names the new file; a handle that
// failed to close is gone all the same.
// A read-only `to` is refused before the move, as Windows itself refuses
// it, whatever a file system or an emulation of Windows would let through.
bool Replace(const char* from, const char* to, File* held) {
  if (held != nullptr) CloseHandle(HandleOf(held));
  const WidePath wideFrom(from);
  const WidePath wideTo(to);
  if (wideFrom.Get() == nullptr || wideTo.Get() == nullptr) return false;
  const DWORD attributes = GetFileAttributesW(wideTo.Get());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  return MoveFileExW(wideFrom.Get(), wideTo.Get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Windows images are replaced where the host names them.
std::uint32_t ResolvePath(const char* path, char* out, std::uint32_t size) {
  std::uint32_t length = 0;
  while (path[length] != '\0') ++length;
  if (length + 1 > size) return 0;
  for (std::uint32_t i = 0; i <= length; ++i) out[i] = path[i];
  return length;
}

// FindFirstFileW matches short names as well, and ignores case: the long
// name is checked again, as the system compares names.
bool FindNames(const char* prefix, void (*found)(void* context, const char* rest), void* context) {
  const std::size_t prefixLength = std::strlen(prefix);
  char pattern[MaxPathBytes];
  if (prefixLength + 2 > sizeof pattern) return false;
  std::memcpy(pattern, prefix, prefixLength);
  std::memcpy(pattern + prefixLength, "*", 2);
  const char* start = prefix + prefixLength;
  while (start > prefix && start[-1] != '\\' && start[-1] != '/' && start[-1] != ':') --start;
  const WidePath widePattern(pattern);
  const WideText name(start);
  if (widePattern.Get() == nullptr || name.Get() == nullptr) return false;
  const std::size_t length = wcslen(name.Get());
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(widePattern.Get(), &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const bool isFile = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    char rest[MaxPathBytes];
    if (isFile && wcslen(entry.cFileName) >= length && _wcsnicmp(entry.cFileName, name.Get(), length) == 0 &&
        Utf16ToUtf8(entry.cFileName + length, rest, sizeof rest)) {
      found(context, rest);
    }
  } while (FindNextFileW(search, &entry));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  return complete;
}

// Windows writes a file's directory entry with the file itself: the file's
// own flush (FlushFileBuffers) has put its name on the disk.
bool FlushName(const char*) { return true; }

}  // namespace os::windows
