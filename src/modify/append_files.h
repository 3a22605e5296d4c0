// The core of packing: converts every listed source file into blocks in
// memory, then appends all the blocks to the image in list order.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/image_file.h"
#include "settings/settings.h"

inline constexpr std::uint32_t MaxPackedFiles = 10000;
inline constexpr std::uint32_t MaxSourceFileSize = 65533;  // its data block's length word reaches 65535
inline constexpr std::uint64_t MaxPackedTotal = 30 * 1048576;

// `image` is open for writing, unmapped and positioned at its end; its `size`
// is its length at open. Nothing is written unless every file converts.
Status AppendFiles(ImageFile& image, const Settings& settings, const char* sourceDirectory, const char* addList);
