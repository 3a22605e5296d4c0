#include "file/disk_file.h"

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

Status DiskFile::Open(const char* path, const FileOptions& options) {
  if (!IsFree()) return ShownFailure("Error 2834 (fileHandle already opened)");
  const Disposition disposition = options.disposition;
  const bool creates = disposition == Disposition::CreateNew || disposition == Disposition::CreateAlways;
  const Status failure = SilentFailure(creates ? E_ECREATE : E_EOPEN);

  char* pathCopy = CopyPath(path);
  if (pathCopy == nullptr) return StatusNoMemory;
  bool created = false;
  os::File* file = os::Os().Open(path, options.access, disposition, &created);
  if (file == nullptr) {
    // Like every other failed open, this one leaves the object holding nothing.
    MemFree(pathCopy);
    return failure;
  }
  held_ = {.file = file,
           .created = created,
           .pathCopy = pathCopy,
           .deleteOnFailure = options.onFailure == OnFailure::Delete};

  if (!QuerySize(held_.size)) {
    Abandon();
    return failure;
  }
  if (held_.size > options.maximumSize) {
    Abandon();
    return options.tooLarge;
  }
  if (options.view == FileView::Mapped && !Map(options.access)) {
    Abandon();
    return failure;
  }
  return StatusOk;
}

Status DiskFile::Close(CloseAs outcome) {
  bool ok = Unmap();
  if (HasFile()) {
    if (!os::Os().Close(held_.file)) ok = false;
    if (held_.deleteOnFailure && outcome == CloseAs::Failure && !os::Os().Delete(held_.pathCopy)) ok = false;
  }
  MemFree(held_.pathCopy);
  held_ = {};
  return ok ? StatusOk : SilentFailure(E_ECLOSE);
}

bool DiskFile::Map(FileAccess access) {
  if (held_.viewed) return true;
  std::uint64_t length = held_.size;
  // The size read at open may be stale: it is read once more before giving up.
  for (bool retried = false;; retried = true) {
    // Whatever else happened to the file, its bytes are those viewed now.
    if (length == 0 && retried) {
      held_.viewed = true;  // an empty file: there is nothing to view
      held_.size = 0;
      return true;
    }
    if (length != 0 && os::Os().MapView(held_.file, access, length, &held_.view)) {
      held_.viewed = true;
      held_.size = length;
      return true;
    }
    if (retried || !QuerySize(length)) return false;
  }
}

bool DiskFile::Unmap() {
  bool ok = true;
  if (held_.viewed && held_.view.bytes != nullptr) ok = os::Os().UnmapView(&held_.view);
  held_.viewed = false;
  held_.view = {};
  return ok;
}

bool DiskFile::QuerySize(std::uint64_t& out) {
  if (os::Os().Size(held_.file, &out)) return true;
  out = 0;
  return false;
}

bool DiskFile::Read(void* bytes, std::uint64_t count) {
  return InPieces(static_cast<std::uint8_t*>(bytes), count,
                  [this](std::uint8_t* next, std::uint32_t piece, std::uint32_t* done) {
                    return os::Os().Read(held_.file, next, piece, done);
                  });
}

bool DiskFile::Write(const void* bytes, std::uint64_t count) {
  return InPieces(static_cast<const std::uint8_t*>(bytes), count,
                  [this](const std::uint8_t* next, std::uint32_t piece, std::uint32_t* done) {
                    return os::Os().Write(held_.file, next, piece, done);
                  });
}

bool DiskFile::Flush() { return os::Os().Flush(held_.file); }

bool DiskFile::GetTimes(std::uint64_t* creation, std::uint64_t* lastWrite) {
  return os::Os().GetTimes(held_.file, creation, lastWrite);
}

bool DiskFile::SetTimes(std::uint64_t creation, std::uint64_t lastWrite) {
  return os::Os().SetTimes(held_.file, creation, lastWrite);
}

Status DiskFile::CreateUnnamed(const char* besidePath) {
  if (!IsFree()) return ShownFailure("Error 2834 (fileHandle already opened)");
  os::File* file = os::Os().CreateUnnamed(besidePath);
  if (file == nullptr) return SilentFailure(E_ECREATE);
  held_ = {.file = file, .created = true};
  return StatusOk;
}

bool DiskFile::GiveName(const char* path) {
  if (!HasFile() || held_.pathCopy != nullptr) return false;
  // The copy first: a name that is not remembered could never be removed.
  held_.pathCopy = CopyPath(path);
  if (held_.pathCopy != nullptr && os::Os().Link(held_.file, path)) return true;
  MemFree(held_.pathCopy);
  held_.pathCopy = nullptr;
  return false;
}

bool DiskFile::CopyMetadataFrom(const DiskFile& other) {
  return os::Os().CopyMetadata(other.held_.file, held_.file);
}

bool DiskFile::GiveWayTo(const char* replacement) {
  // A view that stays would keep the file from being replaced on Windows.
  bool replaced = false;
  if (Unmap()) {
    replaced = os::Os().Replace(replacement, held_.pathCopy, held_.file);
    held_.file = nullptr;  // closed by the replacement, whatever its outcome
  }
  Close(CloseAs::Success);
  return replaced;
}

bool DiskFile::Delete(const char* path) { return os::Os().Delete(path); }

bool DiskFile::FindNames(const char* prefix, void (*found)(void* context, const char* rest), void* context) {
  return os::Os().FindNames(prefix, found, context);
}

bool DiskFile::FlushName(const char* path) { return os::Os().FlushName(path); }

Status DiskFile::ResolvePath(const char* path, String& out) {
  char resolved[4096];
  if (os::Os().ResolvePath(path, resolved, sizeof resolved) == 0) return SilentFailure(E_EOPEN);
  out.Clear();
  return out.Append(resolved);
}
