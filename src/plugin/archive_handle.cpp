#include "plugin/archive_handle.h"

#include <cstring>

#include "support/heap.h"

namespace {

// Larger images are beyond the 32-bit offsets of the entry list.
constexpr std::uint64_t MaxImageSize = 0x7FFFFFFF;

}  // namespace

Status OpenImage(ArchiveHandle& handle, const char* path, bool writable, DWORD disposition) {
  // An image that this call creates is removed again when the open fails;
  // one that existed is never deleted. A failed Open has closed what it
  // opened, and must not close an image that the handle held before.
  const Status opened = handle.image.Open(path, writable, disposition, true, NoSizeLimit, StatusFailed, true);
  if (opened.IsFailed()) return opened;

  Status result = StatusOk;
  if (handle.image.size > MaxImageSize) {
    result = SilentFailure(E_UNKNOWN_FORMAT);
  } else if (!GetFileTime(handle.image.Handle(), &handle.creationTime, nullptr, &handle.lastWriteTime)) {
    result = SilentFailure(E_EOPEN);
  } else {
    handle.dosDateTime = ToDosDateTime(handle.lastWriteTime);
    if (handle.dosDateTime == 0) result = SilentFailure(E_EOPEN);
  }
  if (result.IsFailed()) {
    handle.image.Close(!handle.image.created);
  } else {
    handle.image.deleteOnFailure = false;
  }
  return result;
}

void ReleaseHandle(ArchiveHandle& handle) {
  handle.image.Close(true);
  handle.image.Destroy();
  for (std::uint32_t i = 0; i < handle.entries.count; ++i) MemFree(handle.entries.items[i]);
  MemFree(handle.entries.items);
  MemFree(handle.listedNames.items);
  std::memset(static_cast<void*>(&handle), 0, sizeof handle);
}
