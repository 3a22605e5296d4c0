#include "file/image_file.h"

#include <cstring>

#include "support/heap.h"

namespace {

// A read or write call takes at most this many bytes.
constexpr std::uint64_t MaxPiece = 0x40000000;

// Moves `count` bytes in pieces that one call can take; `transfer(bytes,
// piece, done)` moves one piece, and anything short of it is a failure.
template <typename Byte, typename Transfer>
bool InPieces(Byte* bytes, std::uint64_t count, Transfer transfer) {
  while (count != 0) {
    const auto piece = static_cast<std::uint32_t>(count < MaxPiece ? count : MaxPiece);
    std::uint32_t done = 0;
    if (!transfer(bytes, piece, &done) || done != piece) return false;
    bytes += piece;
    count -= piece;
  }
  return true;
}

char* CopyPath(const char* path) {
  const std::size_t length = std::strlen(path);
  auto* copy = static_cast<char*>(MemAlloc(length + 1));
  if (copy != nullptr) std::memcpy(copy, path, length + 1);
  return copy;
}

}  // namespace

Status ImageFile::Open(const char* path, const FileOptions& options) {
  if (HasFile() || viewed) return ShownFailure("Error 2834 (fileHandle already opened)");
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  const Disposition disposition = options.disposition;
  const bool creates = disposition == Disposition::CreateNew || disposition == Disposition::CreateAlways;
  const Status failure = SilentFailure(creates ? E_ECREATE : E_EOPEN);

  pathCopy = CopyPath(path);
  if (pathCopy == nullptr) return StatusNoMemory;
  file = os::Os().Open(path, options.access, disposition, &created);
  if (file == nullptr) {
    // Like every other failed open, this one leaves the object holding nothing.
    MemFree(pathCopy);
    pathCopy = nullptr;
    created = false;
    return failure;
  }
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
    if (!os::Os().Close(file)) ok = false;
    if (deleteOnFailure && outcome == CloseAs::Failure && !os::Os().Delete(pathCopy)) ok = false;
  }
  size = 0;
  file = nullptr;
  deleteOnFailure = false;
  created = false;
  MemFree(pathCopy);
  pathCopy = nullptr;
  return ok ? StatusOk : SilentFailure(E_ECLOSE);
}

bool ImageFile::Map(FileAccess access) {
  if (viewed) return true;
  std::uint64_t length = size;
  // The size read at open may be stale: it is read once more before giving up.
  for (bool retried = false;; retried = true) {
    // Whatever else happened to the file, its bytes are those viewed now.
    if (length == 0 && retried) {
      viewed = true;  // an empty file: there is nothing to view
      size = 0;
      return true;
    }
    if (length != 0 && os::Os().MapView(file, access, length, &view)) {
      viewed = true;
      size = length;
      return true;
    }
    if (retried || !QuerySize(length)) return false;
  }
}

bool ImageFile::Unmap() {
  bool ok = true;
  if (viewed && view.bytes != nullptr) ok = os::Os().UnmapView(&view);
  viewed = false;
  view = {};
  return ok;
}

bool ImageFile::QuerySize(std::uint64_t& out) {
  if (os::Os().Size(file, &out)) return true;
  out = 0;
  return false;
}

bool ImageFile::Read(void* bytes, std::uint64_t count) {
  return InPieces(static_cast<std::uint8_t*>(bytes), count, [this](std::uint8_t* next, std::uint32_t piece,
                                                                   std::uint32_t* done) {
    return os::Os().Read(file, next, piece, done);
  });
}

bool ImageFile::Write(const void* bytes, std::uint64_t count) {
  return InPieces(static_cast<const std::uint8_t*>(bytes), count,
                  [this](const std::uint8_t* next, std::uint32_t piece, std::uint32_t* done) {
                    return os::Os().Write(file, next, piece, done);
                  });
}

bool ImageFile::Flush() { return os::Os().Flush(file); }

bool ImageFile::GetTimes(std::uint64_t* creation, std::uint64_t* lastWrite) {
  return os::Os().GetTimes(file, creation, lastWrite);
}

bool ImageFile::SetTimes(std::uint64_t creation, std::uint64_t lastWrite) {
  return os::Os().SetTimes(file, creation, lastWrite);
}

void ImageFile::Destroy() {
  if (isOpen) Close(CloseAs::Failure);
  MemFree(pathCopy);
  std::memset(static_cast<void*>(this), 0, sizeof *this);
}

Status ImageFile::CreateUnnamed(const char* besidePath) {
  if (HasFile() || viewed) return ShownFailure("Error 2834 (fileHandle already opened)");
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  file = os::Os().CreateUnnamed(besidePath);
  if (file == nullptr) return SilentFailure(E_ECREATE);
  created = true;
  isOpen = true;
  return StatusOk;
}

bool ImageFile::GiveName(const char* path) {
  if (pathCopy != nullptr) return false;
  // The copy first: a name that is not remembered could never be removed.
  pathCopy = CopyPath(path);
  if (pathCopy != nullptr && os::Os().Link(file, path)) return true;
  MemFree(pathCopy);
  pathCopy = nullptr;
  return false;
}

bool ImageFile::CopyMetadataFrom(const ImageFile& other) { return os::Os().CopyMetadata(other.file, file); }

bool ImageFile::GiveWayTo(const char* replacement) {
  // A view that stays would keep the file from being replaced on Windows.
  bool replaced = false;
  if (Unmap()) {
    replaced = os::Os().Replace(replacement, pathCopy, file);
    file = nullptr;  // closed by the replacement, whatever its outcome
  }
  Close(CloseAs::Success);
  return replaced;
}

bool ImageFile::Delete(const char* path) { return os::Os().Delete(path); }

Status ImageFile::ResolvePath(const char* path, String& out) {
  char resolved[4096];
  if (os::Os().ResolvePath(path, resolved, sizeof resolved) == 0) return SilentFailure(E_EOPEN);
  out.Clear();
  return out.Append(resolved);
}
