// One source file converted into the blocks it adds to the image, held in
// memory until every file of the call has been converted.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "modify/tape_file_plan.h"
#include "tape/image_format.h"
#include "tape/tzx_format.h"

// Each block as the image's format stores it: a TAP block alone, or as the
// body of a TZX standard speed data block.
struct PackedItem {
  std::uint8_t headerBytes[sizeof TzxStandardBlockLead + StoredHeaderBlockSize];
  std::uint32_t headerByteCount;  // 0 for a file packed without header
  std::uint32_t dataByteCount;
  std::uint8_t* dataBytes;  // owned
};

// Builds the item's blocks from the plan and the file's bytes, stored in
// `format`; StatusNoMemory when the data block cannot be allocated.
Status FillPackedItem(PackedItem& item, const TapeFilePlan& plan, const std::uint8_t* contents, ImageFormat format);
void FreePackedItem(PackedItem& item);
