// Everything known about one image that the host has open: the mapped file,
// its times, its scanned entries and the host's place in their listing.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"
#include "file/image_open.h"
#include "os/unicode_text.h"
#include "tape/tape_image.h"

struct ArchiveHandle {
  DiskFile image;
  ImageTimes times{};
  TapeImage tape;  // with the private copy of the settings, taken when the handle is made
  std::uint32_t cursor = 0;  // the entry that the next ReadHeader describes and ProcessFile takes
  char path[os::MaxPathBytes] = {};  // UTF-8, as the host named the image
};

// Closes the image and frees every entry: the handle holds nothing more and
// can take another image.
void ReleaseHandle(ArchiveHandle& handle);

// The entry at the cursor, which moves on by one; null past the last entry.
const TapeEntry* TakeEntry(ArchiveHandle& handle);
