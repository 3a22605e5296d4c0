#include "file/image_file.h"

#include <cstring>

#include "base/file_time.h"
#include "support/heap.h"

namespace {

// A ReadFile or WriteFile call takes at most this many bytes.
constexpr std::uint64_t MaxPiece = 0x40000000;

// Moves `count` bytes in pieces that one call can take; `transfer(bytes,
// piece, done)` moves one piece, and anything short of it is a failure.
template <typename Byte, typename Transfer>
bool InPieces(Byte* bytes, std::uint64_t count, Transfer transfer) {
  while (count != 0) {
    const auto piece = static_cast<DWORD>(count < MaxPiece ? count : MaxPiece);
    DWORD done = 0;
    if (!transfer(bytes, piece, &done) || done != piece) return false;
    bytes += piece;
    count -= piece;
  }
  return true;
}

// mapping and view of an empty file: there is nothing to map, yet the object
// counts as mapped.
HANDLE const StandByMapping = reinterpret_cast<HANDLE>(1);
void* const StandByView = reinterpret_cast<void*>(1);

// Null, which leaves the time as it is, for 0.
const FILETIME* AsFileTime(std::uint64_t time, FILETIME& out) {
  if (time == 0) return nullptr;
  out = ToFileTime(time);
  return &out;
}

char* CopyPath(const char* path) {
  const std::size_t length = std::strlen(path);
  auto* copy = static_cast<char*>(MemAlloc(length + 1));
  if (copy != nullptr) std::memcpy(copy, path, length + 1);
  return copy;
}

}  // namespace

Status ImageFile::Open(const char* path, const FileOptions& options) {
  if (HasFile() || mapping != nullptr) return ShownFailure("Error 2834 (fileHandle already opened)");
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  const DWORD disposition = options.disposition;
  const bool writable = options.access == FileAccess::ReadWrite;
  const bool creates = disposition == CREATE_NEW || disposition == CREATE_ALWAYS;
  const Status failure = SilentFailure(creates ? E_ECREATE : E_EOPEN);

  pathCopy = CopyPath(path);
  if (pathCopy == nullptr) return StatusNoMemory;
  const HANDLE handle = CreateFileA(path, GENERIC_READ | (writable ? GENERIC_WRITE : 0), writable ? 0 : FILE_SHARE_READ,
                                    nullptr, disposition, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // Like every other failed open, this one leaves the object holding nothing.
    MemFree(pathCopy);
    pathCopy = nullptr;
    return failure;
  }
  const DWORD openError = GetLastError();
  fileHandle = ~reinterpret_cast<UINT_PTR>(handle);
  created = (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) && openError != ERROR_ALREADY_EXISTS;
  deleteOnFailure = options.onFailure == OnFailure::Delete;

  if (!QuerySize(size)) {
    Abandon();
    return failure;
  }
  if (size > options.maximumSize) {
    Abandon();
    return options.tooLarge;
  }
  if (options.view == FileView::Mapped && !Map(options.access)) {
    Abandon();
    return failure;
  }
  isOpen = true;
  return StatusOk;
}

Status ImageFile::Close(CloseAs outcome) {
  bool ok = Unmap();
  if (HasFile()) {
    if (!CloseHandle(Handle())) ok = false;
    if (deleteOnFailure && outcome == CloseAs::Failure && !DeleteFileA(pathCopy)) ok = false;
  }
  size = 0;
  fileHandle = 0;
  deleteOnFailure = false;
  created = false;
  MemFree(pathCopy);
  pathCopy = nullptr;
  return ok ? StatusOk : SilentFailure(E_ECLOSE);
}

bool ImageFile::Map(FileAccess access) {
  if (mapping != nullptr) return true;
  const bool writable = access == FileAccess::ReadWrite;
  mappedSize = size;
  // The size read at open may be stale: it is read once more before giving up.
  bool retried = false;
  for (;;) {
    if (mappedSize == 0) {
      if (retried) {
        mapping = StandByMapping;
        view = StandByView;
        return true;
      }
      if (!QuerySize(mappedSize)) break;
      retried = true;
      continue;
    }
    mapping = CreateFileMappingA(Handle(), nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
      if (retried || !QuerySize(mappedSize)) break;
      retried = true;
      continue;
    }
    view = MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (view != nullptr) return true;
    break;
  }
  Unmap();
  return false;
}

bool ImageFile::Unmap() {
  bool ok = true;
  if (mapping != nullptr) {
    if (mappedSize != 0 && view != nullptr && !UnmapViewOfFile(view)) ok = false;
    view = nullptr;
    if (mappedSize != 0 && !CloseHandle(mapping)) ok = false;
    mapping = nullptr;
  }
  mappedSize = 0;
  return ok;
}

bool ImageFile::QuerySize(std::uint64_t& out) {
  LARGE_INTEGER fileSize;
  if (!GetFileSizeEx(Handle(), &fileSize)) {
    out = 0;
    return false;
  }
  out = static_cast<std::uint64_t>(fileSize.QuadPart);
  return true;
}

bool ImageFile::Read(void* bytes, std::uint64_t count) {
  return InPieces(static_cast<std::uint8_t*>(bytes), count, [this](std::uint8_t* next, DWORD piece, DWORD* done) {
    return ReadFile(Handle(), next, piece, done, nullptr) != FALSE;
  });
}

bool ImageFile::Write(const void* bytes, std::uint64_t count) {
  return InPieces(static_cast<const std::uint8_t*>(bytes), count,
                  [this](const std::uint8_t* next, DWORD piece, DWORD* done) {
                    return WriteFile(Handle(), next, piece, done, nullptr) != FALSE;
                  });
}

bool ImageFile::SeekEnd() {
  LARGE_INTEGER distance;
  distance.QuadPart = 0;
  return SetFilePointerEx(Handle(), distance, nullptr, FILE_END) != FALSE;
}

bool ImageFile::Truncate(std::uint64_t length) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(length);
  return SetFilePointerEx(Handle(), distance, nullptr, FILE_BEGIN) != FALSE && SetEndOfFile(Handle()) != FALSE;
}

bool ImageFile::Flush() { return FlushFileBuffers(Handle()) != FALSE; }

bool ImageFile::GetTimes(std::uint64_t* creation, std::uint64_t* lastWrite) {
  FILETIME made;
  FILETIME written;
  if (!GetFileTime(Handle(), creation != nullptr ? &made : nullptr, nullptr, lastWrite != nullptr ? &written : nullptr)) {
    return false;
  }
  if (creation != nullptr) *creation = FileTimeValue(made);
  if (lastWrite != nullptr) *lastWrite = FileTimeValue(written);
  return true;
}

bool ImageFile::SetTimes(std::uint64_t creation, std::uint64_t lastWrite) {
  FILETIME made;
  FILETIME written;
  return SetFileTime(Handle(), AsFileTime(creation, made), nullptr, AsFileTime(lastWrite, written)) != FALSE;
}

void ImageFile::Destroy() {
  if (isOpen) Close(CloseAs::Failure);
  MemFree(pathCopy);
  std::memset(static_cast<void*>(this), 0, sizeof *this);
}
