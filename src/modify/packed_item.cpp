#include "modify/packed_item.h"

#include <cstring>

#include "support/heap.h"
#include "tape/block_checksum.h"

namespace {

void PutU16(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t LeadSize(ImageFormat format) { return format == ImageFormat::Tzx ? sizeof TzxStandardBlockLead : 0; }

// Writes what goes before a TAP block's length word and returns where the
// block starts.
std::uint8_t* PutLead(std::uint8_t* out, ImageFormat format) {
  if (format == ImageFormat::Tzx) std::memcpy(out, TzxStandardBlockLead, sizeof TzxStandardBlockLead);
  return out + LeadSize(format);
}

void FillHeaderBlock(std::uint8_t* block, const TapeHeader& header) {
  PutU16(block, HeaderBlockLength);
  block[2] = HeaderFlag;
  std::memcpy(block + 3, &header, sizeof header);
  block[StoredHeaderBlockSize - 1] = BlockChecksum(block + 2, HeaderBlockLength - 1);
}

}  // namespace

Status FillPackedItem(PackedItem& item, const TapeFilePlan& plan, const std::uint8_t* contents, ImageFormat format) {
  if (plan.hasHeader) {
    FillHeaderBlock(PutLead(item.headerBytes, format), plan.header);
    item.headerByteCount = LeadSize(format) + StoredHeaderBlockSize;
  }
  const std::uint32_t count = LeadSize(format) + plan.dataLength + DataBlockOverhead;
  auto* stored = static_cast<std::uint8_t*>(MemAlloc(count));
  if (stored == nullptr) return StatusNoMemory;
  std::uint8_t* block = PutLead(stored, format);
  PutU16(block, plan.dataLength + 2);
  block[2] = plan.dataFlag;
  std::memcpy(block + 3, contents + plan.dataOffset, plan.dataLength);
  block[plan.dataLength + 3] = BlockChecksum(block + 2, plan.dataLength + 1);
  item.dataBytes = stored;
  item.dataByteCount = count;
  return StatusOk;
}

void FreePackedItem(PackedItem& item) {
  MemFree(item.dataBytes);
  item.dataBytes = nullptr;
  item.dataByteCount = 0;
}
