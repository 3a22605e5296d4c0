// The scan of an image into tape entries: a walk over the blocks that pairs
// each header with the data block after it, then a pass that derives
// everything that listing and extraction need from each entry.
#include <cstring>

#include "base/integrity.h"
#include "support/heap.h"
#include "tape/block_checksum.h"
#include "tape/entry_pairing.h"
#include "tape/extracted_form.h"
#include "tape/field_roles.h"
#include "tape/tape_image.h"
#include "tape/tape_walk.h"

namespace {

constexpr Status TooManyEntries = ShownFailure("Too many files in TAP image.");

// How many entries the blocks make. The damage that the walk itself meets is
// left to it.
template <typename Walk>
std::uint32_t CountEntries(Walk& walk) {
  EntryPairing pairing;
  std::uint32_t count = 0;
  TapBlock block;
  while (walk.Next(block) && count <= MaxEntries) {
    if (pairing.StartsEntry(block)) ++count;
  }
  return count;
}

// Pairs across whatever else the walk passes over: a TZX image may hold a
// pause or a text between a header and its data.
template <typename Walk>
Status WalkBlocks(TapeImage& image, Walk& walk) {
  EntryPairing pairing;
  TapBlock block;
  while (walk.Next(block)) {
    const bool header = IsHeaderBlock(block);
    if (header && !block.complete) return SilentFailure(E_BAD_ARCHIVE);
    if (header && BlockChecksum(block.start, HeaderBlockLength) != 0) return SilentFailure(E_BAD_DATA);
    TapeEntry& entry = pairing.StartsEntry(block) ? AddEntry(image) : image.entries.At(image.entries.count - 1);
    if (header) {
      entry.headerBlock = block.start;
      entry.headerLead = block.lead;
      continue;
    }
    entry.dataBlock = block.start;
    entry.dataBlockLength = block.length;
    entry.dataLead = block.lead;
    // Only the last block can run past the end; it is listed but not extracted.
    entry.dataComplete = block.length >= 2 && block.complete;
  }
  return walk.Broken() ? SilentFailure(E_BAD_ARCHIVE) : StatusOk;
}

std::uint32_t DecimalDigits(std::uint32_t value) {
  std::uint32_t digits = 0;
  for (; value != 0; value /= 10) ++digits;
  return digits;
}

void NumberHeaderless(TapeImage& image) {
  image.headerlessCount = 0;
  for (std::uint32_t i = 0; i < image.entries.count; ++i) {
    TapeEntry& entry = image.entries.items[i];
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
  const HeaderPair pair = PairOf(*header);
  entry.timeParamLow = pair.low;
  entry.timeParamHigh = pair.high;
  entry.hasTimeParams = 1;
}

void DeriveEntryFields(TapeEntry& entry, std::uint32_t index, const TapeImage& image) {
  entry.index = static_cast<std::int32_t>(index);
  SetTimeParams(entry);
  if (image.settings.RarevCompatible) {
    entry.hasRarevRecord = 1;  // extracted as its payload alone
  } else {
    ChooseExtractedForm(entry, ExtractHobetaInForce(image.settings));
  }
  entry.extractedSize = ExtractedForm(entry, image.headerlessDigits).Size();
  entry.storedSize = (entry.dataBlock != nullptr ? entry.StoredData().length : 0) +
                     (entry.headerBlock != nullptr ? entry.StoredHeader().length : 0);
}

}  // namespace

void TapeImage::Release() {
  MemFree(entries.items);
  entries.items = nullptr;
  entries.count = entries.capacity = 0;
  MemFree(listedNames.items);
  listedNames.items = nullptr;
  listedNames.count = listedNames.capacity = 0;
  namedEntries = 0;
  headerlessCount = headerlessDigits = 0;
}

Status ReserveEntries(TapeImage& image, std::uint32_t count) {
  if (count > MaxEntries) return TooManyEntries;
  return image.entries.Reserve(count);
}

TapeEntry& AddEntry(TapeImage& image) {
  // Within the room reserved: the list never grows, and no entry moves.
  if (image.entries.count >= image.entries.capacity) IntegrityFailure();
  TapeEntry& entry = image.entries.items[image.entries.count++];
  std::memset(&entry, 0, sizeof entry);
  entry.index = -1;
  return entry;
}

Status ScanImage(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size, const Settings& settings,
                 std::uint32_t dosDateTime) {
  image.Release();
  image.settings = settings;
  image.dosDateTime = dosDateTime;
  ImageFormat format;
  const Status known = FormatOfImage(bytes, size, format);
  if (known.IsFailed()) return known;
  const std::uint32_t count = WithTapeWalk(bytes, size, format, [](auto& walk) { return CountEntries(walk); });
  const Status reserved = ReserveEntries(image, count);
  if (reserved.IsFailed()) return reserved;
  const Status walked = WithTapeWalk(bytes, size, format, [&](auto& walk) { return WalkBlocks(image, walk); });
  if (walked.IsFailed()) return walked;
  NumberHeaderless(image);
  for (std::uint32_t i = 0; i < image.entries.count; ++i) DeriveEntryFields(image.entries.items[i], i, image);
  return StatusOk;
}
