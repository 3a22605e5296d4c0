// Everything known about one open TAP image.
#pragma once

#include <cstdint>

#include "file/dos_date_time.h"
#include "file/image_file.h"
#include "settings/settings.h"
#include "support/list.h"

struct TapeEntry;

struct ArchiveHandle {
  ImageFile image;
  Settings settings;  // private copy, taken when the handle is made
  List<TapeEntry*> entries;
  // The listed names of the first namedEntries entries, each followed by a NUL,
  // formed once when the list is built.
  List<char> listedNames;
  std::uint32_t namedEntries;
  std::uint32_t cursor;
  std::uint32_t headerlessCount;
  std::uint32_t headerlessDigits;
  FILETIME lastWriteTime;
  std::uint32_t dosDateTime;  // date high, time low, local time
  FILETIME creationTime;
  char path[260];
};

Status OpenImage(ArchiveHandle& handle, const char* path, bool writable, DWORD disposition);
// Closes the image, frees every entry and leaves the handle all zero.
void ReleaseHandle(ArchiveHandle& handle);
