// The core of packing: every listed source file becomes blocks in memory
// before any byte is written.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/image_file.h"
#include "modify/packed_item.h"
#include "settings/settings.h"
#include "support/ansi_string.h"
#include "support/list.h"

inline constexpr std::uint32_t MaxPackedFiles = 10000;
inline constexpr std::uint32_t MaxSourceFileSize = 65533;  // its data block's length word reaches 65535
inline constexpr std::uint64_t MaxPackedTotal = 30 * 1048576;

// Every listed source file converted into the blocks it adds to an image,
// held in memory until all of them have converted.
class SourceBlocks {
 public:
  // `imageLength` counts towards the limit of what one call may pack.
  SourceBlocks(const Settings& settings, std::uint64_t imageLength);
  SourceBlocks(const SourceBlocks&) = delete;
  SourceBlocks& operator=(const SourceBlocks&) = delete;
  ~SourceBlocks();

  // Converts the files that `addList` names relative to `sourceDirectory`.
  Status Convert(const char* sourceDirectory, const char* addList);
  // Writes the `imageSize` bytes of `image` and then every block into
  // `target`, at its position.
  Status WriteAfter(ImageFile& target, const std::uint8_t* image, std::uint64_t imageSize) const;

 private:
  Status ConvertOne(const char* sourceDirectory, const char* name, const char* entryName, PackedItem& item);

  const Settings& settings_;
  std::uint64_t total_;  // the image and every data block so far; header blocks are not counted
  List<PackedItem> items_;
  String path_;
  std::uint8_t* contents_ = nullptr;  // the bytes of the file being converted
};
