// One source file converted into the blocks it adds to the image, held in
// memory until every file of the call has been converted.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "modify/tape_file_plan.h"


struct PackedItem {
  std::uint8_t headerBytes[StoredHeaderBlockSize];  // all zero for a file packed without header
  std::uint32_t dataByteCount;
  std::uint8_t* dataBytes;  // the data block as stored; owned

  bool HasHeader() const { return headerBytes[0] != 0 || headerBytes[1] != 0; }
};

// Builds the item's blocks from the plan and the file's bytes; StatusNoMemory
// when the data block cannot be allocated.
Status FillPackedItem(PackedItem& item, const TapeFilePlan& plan, const std::uint8_t* contents);
void FreePackedItem(PackedItem& item);
