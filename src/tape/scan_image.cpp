// The scan of an image into tape entries: a walk over the blocks that pairs
// each header with the data block after it, then a pass that derives
// everything that listing and extraction need from each entry.
#include <cstring>

#include "support/heap.h"
#include "tape/autostart_trailer.h"
#include "tape/block_chain.h"
#include "tape/block_checksum.h"
#include "tape/hobeta_header.h"
#include "tape/tape_image.h"

namespace {

constexpr Status TooManyEntries = ShownFailure("Too many files in TAP image.");
constexpr std::uint8_t RarevKindHeaderOnly = 0x81;
constexpr std::uint8_t RarevKindWithData = 0x83;

Status WalkBlocks(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size) {
  BlockChain chain(bytes, size);
  TapeEntry* pending = nullptr;  // a header still waiting for its data block
  TapBlock block;
  while (chain.Next(block)) {
    TapeEntry* entry = nullptr;
    if (block.length == HeaderBlockLength && block.start[0] == HeaderFlag) {
      if (!block.complete) return SilentFailure(E_BAD_ARCHIVE);
      if (BlockChecksum(block.start, HeaderBlockLength) != 0) return SilentFailure(E_BAD_DATA);
      const Status added = AddEntry(image, entry);
      if (added.IsFailed()) return added;
      entry->headerBlock = block.start;
      pending = entry;
    } else {
      entry = pending;
      pending = nullptr;
      if (entry == nullptr) {
        const Status added = AddEntry(image, entry);
        if (added.IsFailed()) return added;
      }
      entry->dataBlock = block.start;
      entry->dataBlockLength = block.length;
      // Only the last block can run past the end; it is listed but not extracted.
      entry->dataComplete = block.length >= 2 && block.complete;
    }
  }
  return chain.Broken() ? SilentFailure(E_BAD_ARCHIVE) : StatusOk;
}

std::uint32_t DecimalDigits(std::uint32_t value) {
  std::uint32_t digits = 0;
  for (; value != 0; value /= 10) ++digits;
  return digits;
}

void NumberHeaderless(TapeImage& image) {
  image.headerlessCount = 0;
  for (std::uint32_t i = 0; i < image.entries.count; ++i) {
    TapeEntry& entry = *image.entries.items[i];
    if (entry.headerBlock == nullptr) entry.headerlessNumber = ++image.headerlessCount;
  }
  image.headerlessDigits = DecimalDigits(image.headerlessCount);
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

void FillRarevRecord(TapeEntry& entry, const TapeImage& image) {
  entry.hasRarevRecord = 1;
  entry.extractedSize = entry.PayloadLength();
  const TapeHeader* header = entry.Header();
  if (header == nullptr) return;
  RarevRecord& record = entry.rarevRecord;
  record.kind = entry.dataBlock != nullptr ? RarevKindWithData : RarevKindHeaderOnly;
  record.dosDateTime = image.dosDateTime;
  std::memcpy(&record.header, header, sizeof(TapeHeader));
  record.body = 0;
  record.payloadLength = entry.PayloadLength();
  record.flag = entry.dataBlock != nullptr ? entry.dataBlock[0] : DataFlag;
  record.attribute = 0;
  record.reserved = 0;
}

// Only a program that is all there gets the trailer that carries its
// autostart line.
void SetTrailer(TapeEntry& entry) {
  entry.trailerLength = 0;
  const TapeHeader* header = entry.Header();
  if (header == nullptr || header->type != ProgramType || header->length != entry.PayloadLength()) return;
  WriteAutostartTrailer(entry.trailer, AutostartLine(header->param1));
  entry.trailerLength = AutostartTrailerLength;
}

// What extraction writes: payload and trailer, in hobeta mode behind the
// hobeta header and filled up to whole sectors.
void SetExtractedForm(TapeEntry& entry, const TapeImage& image) {
  SetTrailer(entry);
  MakeHobetaHeader(entry, image.headerlessDigits);
  const std::uint32_t content = entry.PayloadLength() + entry.trailerLength;
  entry.extractedSize = content;
  if (image.settings.ExtractHobeta) {
    entry.extractAsHobeta = 1;
    entry.hobetaPadding = (HobetaSectorSize - content % HobetaSectorSize) % HobetaSectorSize;
    entry.extractedSize += HobetaHeaderSize + entry.hobetaPadding;
  }
}

void DeriveEntryFields(TapeEntry& entry, std::uint32_t index, const TapeImage& image) {
  entry.index = static_cast<std::int32_t>(index);
  SetTimeParams(entry);
  if (image.settings.RarevCompatible)
    FillRarevRecord(entry, image);
  else
    SetExtractedForm(entry, image);
  entry.storedSize = (entry.dataBlock != nullptr ? entry.dataBlockLength + LengthWordSize : 0) +
                     (entry.headerBlock != nullptr ? StoredHeaderBlockSize : 0);
}

}  // namespace

void TapeImage::Release() {
  for (std::uint32_t i = 0; i < entries.count; ++i) MemFree(entries.items[i]);
  MemFree(entries.items);
  entries.items = nullptr;
  entries.count = entries.capacity = 0;
  MemFree(listedNames.items);
  listedNames.items = nullptr;
  listedNames.count = listedNames.capacity = 0;
  namedEntries = 0;
  headerlessCount = headerlessDigits = 0;
}

Status AddEntry(TapeImage& image, TapeEntry*& out) {
  out = nullptr;
  if (image.entries.count >= MaxEntries) return TooManyEntries;
  auto* entry = static_cast<TapeEntry*>(MemAlloc(sizeof(TapeEntry)));
  if (entry == nullptr) return StatusNoMemory;
  entry->index = -1;
  const Status added = image.entries.Add(entry);
  if (added.IsFailed()) {
    MemFree(entry);  // which clears it, too
    return added;
  }
  out = entry;
  return StatusOk;
}

Status ScanImage(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size, const Settings& settings,
                 std::uint32_t dosDateTime) {
  image.Release();
  image.settings = settings;
  image.dosDateTime = dosDateTime;
  const Status walked = WalkBlocks(image, bytes, size);
  if (walked.IsFailed()) return walked;
  NumberHeaderless(image);
  for (std::uint32_t i = 0; i < image.entries.count; ++i) DeriveEntryFields(*image.entries.items[i], i, image);
  return StatusOk;
}
