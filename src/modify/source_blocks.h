// The core of packing: every listed source file becomes the blocks it adds
// to an image, written as it converts into a file that nobody sees until
// all have, or held in memory until then.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"
#include "modify/block_writer.h"
#include "modify/packed_item.h"
#include "settings/settings.h"
#include "support/ansi_string.h"
#include "support/list.h"
#include "tape/image_format.h"

inline constexpr std::uint32_t MaxPackedFiles = 10000;
inline constexpr std::uint32_t MaxSourceFileSize = 65533;  // its data block's length word reaches 65535
inline constexpr std::uint64_t MaxPackedTotal = 30 * 1048576;

class SourceBlocks {
 public:
  // `imageLength` counts towards the limit of what one call may pack; the
  // blocks are made as `format` stores them.
  SourceBlocks(const Settings& settings, std::uint64_t imageLength, ImageFormat format);
  SourceBlocks(const SourceBlocks&) = delete;
  SourceBlocks& operator=(const SourceBlocks&) = delete;
  ~SourceBlocks();

  // Converts the files that `addList` names relative to `sourceDirectory`.
  // With `out`, each file's blocks go there once it has converted and are
  // not kept; without, they are held for WriteHeld.
  Status Convert(const char* sourceDirectory, const char* addList, BlockWriter* out);
  // Writes the blocks held, in the order of the list.
  Status WriteHeld(BlockWriter& out) const;

 private:
  Status ConvertOne(const char* sourceDirectory, const char* name, const char* entryName, PackedItem& item);

  const Settings& settings_;
  ImageFormat format_;
  std::uint64_t total_;  // the image and every data block so far, as stored; header blocks are not counted
  List<PackedItem> items_;  // held, or the one being converted
  std::uint32_t converted_ = 0;
  String path_;
  std::uint8_t* contents_ = nullptr;  // the bytes of the file being converted
};
