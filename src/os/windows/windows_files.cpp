// Files through the Win32 calls: the handle is the File, opened for
// sequential reading, shared with readers only when opened read-only.
#include <windows.h>

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

}  // namespace

File* Open(const char* path, Access access, Disposition disposition, bool* created) {
  const bool writable = access == Access::ReadWrite;
  const WidePath widePath(path);
  if (widePath.Get() == nullptr) return nullptr;
  const HANDLE handle = CreateFileW(widePath.Get(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), writable ? 0 : FILE_SHARE_READ,
                                    nullptr, CreationDisposition(disposition), FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  switch (disposition) {
    case Disposition::CreateNew:
      *created = true;
      break;
    case Disposition::OpenExisting:
      *created = false;
      break;
    default:
      *created = GetLastError() != ERROR_ALREADY_EXISTS;
      break;
  }
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
  *done = read;
  return ok;
}

bool Write(File* file, const void* bytes, std::uint32_t count, std::uint32_t* done) {
  DWORD written = 0;
  const bool ok = WriteFile(HandleOf(file), bytes, count, &written, nullptr) != FALSE;
  *done = written;
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
bool Replace(const char* from, const char* to, File* held) {
  if (held != nullptr) CloseHandle(HandleOf(held));
  const WidePath wideFrom(from);
  const WidePath wideTo(to);
  return wideFrom.Get() != nullptr && wideTo.Get() != nullptr &&
         MoveFileExW(wideFrom.Get(), wideTo.Get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Windows images are replaced where the host names them.
std::uint32_t ResolvePath(const char* path, char* out, std::uint32_t size) {
  std::uint32_t length = 0;
  while (path[length] != '\0') ++length;
  if (length + 1 > size) return 0;
  for (std::uint32_t i = 0; i <= length; ++i) out[i] = path[i];
  return length;
}

}  // namespace os::windows
