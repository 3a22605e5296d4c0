#include "plugin/archive_handle.h"

#include <cstring>

void ReleaseHandle(ArchiveHandle& handle) {
  handle.image.Close(CloseAs::Success);
  handle.image.Destroy();
  handle.tape.Release();
  std::memset(static_cast<void*>(&handle), 0, sizeof handle);
}

const TapeEntry* TakeEntry(ArchiveHandle& handle) {
  if (handle.cursor >= handle.tape.entries.count) return nullptr;
  return &handle.tape.entries.At(handle.cursor++);
}
