// The scan of a mapped TAP image into tape entries: a walk over the blocks
// that pairs each header with the data block after it, then a pass that
// derives everything that listing and extraction need from each entry.
#include <cstring>

#include "base/status.h"
#include "modify/hobeta.h"
#include "support/heap.h"
#include "tape/block_checksum.h"
#include "tape/tape_entry.h"

namespace {

constexpr Status TooManyEntries = ShownFailure("Too many files in TAP image.");
constexpr std::uint64_t LengthWordSize = 2;
constexpr std::uint64_t HeaderBlockSize = LengthWordSize + HeaderBlockLength;
constexpr std::uint8_t RarevKindHeaderOnly = 0x81;
constexpr std::uint8_t RarevKindWithData = 0x83;

Status WalkBlocks(ArchiveHandle& handle) {
  const std::uint8_t* base = handle.image.Bytes();
  const std::uint64_t size = handle.image.size;
  TapeEntry* pending = nullptr;  // a header still waiting for its data block
  std::uint64_t offset = 0;
  while (offset < size) {
    // A length word and a flag byte at least; stray bytes at the end are damage.
    if (size - offset < LengthWordSize + 1) return SilentFailure(E_BAD_ARCHIVE);
    const std::uint32_t length = base[offset] | base[offset + 1] << 8;
    if (length == 0) return SilentFailure(E_BAD_ARCHIVE);
    const std::uint8_t* block = base + offset + LengthWordSize;
    const std::uint64_t available = size - offset - LengthWordSize;

    TapeEntry* entry = nullptr;
    if (length == HeaderBlockLength && block[0] == HeaderFlag) {
      if (size - offset < HeaderBlockSize) return SilentFailure(E_BAD_ARCHIVE);
      if (BlockChecksum(block, HeaderBlockLength) != 0) return SilentFailure(E_BAD_DATA);
      const Status added = AddEntry(handle, entry);
      if (added.IsFailed()) return added;
      entry->headerBlock = block;
      pending = entry;
    } else {
      entry = pending;
      pending = nullptr;
      if (entry == nullptr) {
        const Status added = AddEntry(handle, entry);
        if (added.IsFailed()) return added;
      }
      entry->dataBlock = block;
      entry->dataBlockLength = length;
      // Only the last block can run past the end; it is listed but not extracted.
      entry->dataComplete = length >= 2 && length <= available;
    }
    offset += LengthWordSize + length;
  }
  return StatusOk;
}

std::uint32_t DecimalDigits(std::uint32_t value) {
  std::uint32_t digits = 0;
  for (; value != 0; value /= 10) ++digits;
  return digits;
}

void NumberHeaderless(ArchiveHandle& handle) {
  handle.headerlessCount = 0;
  for (std::uint32_t i = 0; i < handle.entries.count; ++i) {
    TapeEntry& entry = *handle.entries.items[i];
    if (entry.headerBlock == nullptr) entry.headerlessNumber = ++handle.headerlessCount;
  }
  handle.headerlessDigits = DecimalDigits(handle.headerlessCount);
}

void SetTimeParams(TapeEntry& entry) {
  const TapeHeader* header = entry.Header();
  if (header == nullptr) {
    entry.headerlessMarker = 1;
    return;
  }
  if (header->type == ProgramType) {
    entry.timeParamLow = header->length;
    entry.timeParamHigh = header->param2;
  } else {
    entry.timeParamLow = header->param1;
    entry.timeParamHigh = header->length;
  }
  entry.hasTimeParams = 1;
}

void FillRarevRecord(TapeEntry& entry, const ArchiveHandle& handle) {
  entry.hasRarevRecord = 1;
  entry.extractedSize = entry.PayloadLength();
  const TapeHeader* header = entry.Header();
  if (header == nullptr) return;
  RarevRecord& record = entry.rarevRecord;
  record.kind = entry.dataBlock != nullptr ? RarevKindWithData : RarevKindHeaderOnly;
  record.dosDateTime = handle.dosDateTime;
  std::memcpy(&record.header, header, sizeof(TapeHeader));
  record.body = 0;
  record.payloadLength = entry.PayloadLength();
  record.flag = entry.dataBlock != nullptr ? entry.dataBlock[0] : DataFlag;
  record.attribute = 0;
  record.reserved = 0;
}

void DeriveEntryFields(TapeEntry& entry, std::uint32_t index, const ArchiveHandle& handle) {
  entry.index = static_cast<std::int32_t>(index);
  SetTimeParams(entry);
  if (handle.settings.RarevCompatible)
    FillRarevRecord(entry, handle);
  else
    MakeHobetaHeader(entry, handle);
  entry.storedSize = (entry.dataBlock != nullptr ? entry.dataBlockLength + LengthWordSize : 0) +
                     (entry.headerBlock != nullptr ? HeaderBlockSize : 0);
}

}  // namespace

Status AddEntry(ArchiveHandle& handle, TapeEntry*& out) {
  out = nullptr;
  if (handle.entries.count >= MaxEntries) return TooManyEntries;
  auto* entry = static_cast<TapeEntry*>(MemAlloc(sizeof(TapeEntry)));
  if (entry == nullptr) return StatusNoMemory;
  entry->index = -1;
  const Status added = handle.entries.Add(entry);
  if (added.IsFailed()) {
    MemFree(entry);  // which clears it, too
    return added;
  }
  out = entry;
  return StatusOk;
}

Status ScanImage(ArchiveHandle& handle) {
  const Status walked = WalkBlocks(handle);
  if (walked.IsFailed()) return walked;
  NumberHeaderless(handle);
  for (std::uint32_t i = 0; i < handle.entries.count; ++i) DeriveEntryFields(*handle.entries.items[i], i, handle);
  return StatusOk;
}
