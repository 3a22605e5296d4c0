// Opening a TAP image: mapped whole, within the size that entry offsets
// can hold, with the times that its listing shows.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"

// Larger images are beyond the 32-bit offsets of the entry list.
inline constexpr std::uint64_t MaxImageSize = 0x7FFFFFFF;

enum class ImageUse : std::uint8_t {
  Listing,  // read-only, the image must exist
  Packing,  // writable and shared with nobody, made when missing
  Extending,  // writable and shared with nobody, the image must exist
};

struct ImageTimes {
  std::uint64_t creation;   // file times, 100 ns units since 1601 (UTC)
  std::uint64_t lastWrite;
  std::uint32_t dosDateTime;  // lastWrite in local time, date high and time low, or the nearest such
};

// Opens and maps the image into `image` and reads its times. On failure the
// image is closed again, and deleted when this open made it.
Status OpenImage(DiskFile& image, const char* path, ImageUse use, ImageTimes& times);
