#include "plugin/archive_handle.h"

void ReleaseHandle(ArchiveHandle& handle) {
  handle.image.Close(CloseAs::Success);
  handle.tape.Release();
  handle.times = {};
  handle.cursor = 0;
  handle.path[0] = '\0';
}

const TapeEntry* TakeEntry(ArchiveHandle& handle) {
  if (handle.cursor >= handle.tape.entries.count) return nullptr;
  return &handle.tape.entries.At(handle.cursor++);
}
