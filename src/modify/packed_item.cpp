#include "modify/packed_item.h"

#include <cstring>

#include "support/heap.h"
#include "tape/block_checksum.h"

namespace {

void PutU16(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

void FillHeaderBlock(std::uint8_t (&block)[StoredHeaderBlockSize], const TapeHeader& header) {
  PutU16(block, HeaderBlockLength);
  block[2] = HeaderFlag;
  std::memcpy(block + 3, &header, sizeof header);
  block[StoredHeaderBlockSize - 1] = BlockChecksum(block + 2, HeaderBlockLength - 1);
}

}  // namespace

Status FillPackedItem(PackedItem& item, const TapeFilePlan& plan, const std::uint8_t* contents) {
  if (plan.hasHeader) FillHeaderBlock(item.headerBytes, plan.header);
  const std::uint32_t count = plan.dataLength + DataBlockOverhead;
  auto* block = static_cast<std::uint8_t*>(MemAlloc(count));
  if (block == nullptr) return StatusNoMemory;
  PutU16(block, plan.dataLength + 2);
  block[2] = plan.dataFlag;
  std::memcpy(block + 3, contents + plan.dataOffset, plan.dataLength);
  block[count - 1] = BlockChecksum(block + 2, plan.dataLength + 1);
  item.dataBytes = block;
  item.dataByteCount = count;
  return StatusOk;
}

void FreePackedItem(PackedItem& item) {
  MemFree(item.dataBytes);
  item.dataBytes = nullptr;
  item.dataByteCount = 0;
}
