// Any bytes as a mapped image, scanned in each naming mode: as they are (a
// TAP image, or a TZX one when they start with its signature), and behind a
// TZX header, so that every input reaches both readers. Besides staying
// inside the image, a successful scan must keep its promises about the
// entries; a failed one must say why.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "tape/image_format.h"
#include "tape/tape_image.h"
#include "tape/tzx_format.h"

namespace {

volatile std::uint8_t sink;

// Where a stored block may start: after the TZX header, or anywhere in a TAP image.
struct Layout {
  ImageFormat format;
  std::size_t firstByte;
};

void CheckEntry(const TapeEntry& entry, std::uint32_t index, const std::uint8_t* image, std::size_t size,
                Layout layout) {
  FUZZ_CHECK(entry.index == static_cast<std::int32_t>(index));
  FUZZ_CHECK(entry.headerBlock != nullptr || entry.dataBlock != nullptr);
  FUZZ_CHECK(entry.hasTimeParams + entry.headerlessMarker == 1);
  FUZZ_CHECK((entry.headerBlock != nullptr) == (entry.hasTimeParams == 1));
  const std::uint32_t tapLead = layout.format == ImageFormat::Tap ? 2 : 0;
  if (entry.headerBlock != nullptr) {
    const std::size_t offset = static_cast<std::size_t>(entry.headerBlock - image);
    FUZZ_CHECK(offset >= layout.firstByte + entry.headerLead && offset + HeaderBlockLength <= size);
    FUZZ_CHECK(tapLead == 0 || entry.headerLead == tapLead);
    FUZZ_CHECK(entry.headerBlock[0] == HeaderFlag && entry.headerlessNumber == 0);
  }
  std::uint32_t payload = 0;
  if (entry.dataBlock != nullptr) {
    const std::size_t offset = static_cast<std::size_t>(entry.dataBlock - image);
    FUZZ_CHECK(offset >= layout.firstByte + entry.dataLead && offset < size && entry.dataBlockLength >= 1);
    FUZZ_CHECK(tapLead == 0 || entry.dataLead == tapLead);
    const bool inside = offset + entry.dataBlockLength <= size;
    // Only a TAP image's last block may run past the end.
    FUZZ_CHECK(inside || tapLead != 0);
    FUZZ_CHECK(entry.dataComplete == (inside && entry.dataBlockLength >= 2));
    // What an extraction reads: every byte of a complete block.
    if (entry.dataComplete)
      for (std::uint32_t i = 0; i < entry.dataBlockLength; ++i) sink = sink ^ entry.dataBlock[i];
    payload = entry.dataBlockLength >= 2 ? entry.dataBlockLength - 2 : 0;
  }
  FUZZ_CHECK(entry.PayloadLength() == payload);
  FUZZ_CHECK(entry.storedSize == (entry.dataBlock != nullptr ? entry.dataBlockLength + entry.dataLead : 0) +
                                     (entry.headerBlock != nullptr ? HeaderBlockLength + entry.headerLead : 0));
  if (entry.hasRarevRecord) {
    FUZZ_CHECK(entry.extractedSize == payload && entry.trailerLength == 0 && !entry.extractAsHobeta);
  } else {
    FUZZ_CHECK(entry.trailerLength == 0 || entry.trailerLength == 4);
    FUZZ_CHECK(entry.hobetaPadding < 256);
    const std::uint32_t content = payload + entry.trailerLength;
    FUZZ_CHECK(entry.hobetaFits == (content <= 65280));
    FUZZ_CHECK(entry.extractedSize == content + (entry.extractAsHobeta ? 17 + entry.hobetaPadding : 0));
    if (entry.extractAsHobeta) FUZZ_CHECK((content + entry.hobetaPadding) % 256 == 0);
  }
}

// The stored blocks follow each other without overlapping; a TAP image is
// nothing but its blocks, a TZX image holds other blocks beside them.
void CheckScan(const TapeImage& tape, const std::uint8_t* image, std::size_t size, Layout layout) {
  std::uint64_t stored = 0;
  std::uint32_t headerless = 0;
  bool truncated = false;
  const std::uint8_t* next = image + layout.firstByte;  // where the next stored block may start
  for (std::uint32_t i = 0; i < tape.entries.count; ++i) {
    const TapeEntry& entry = tape.entries.items[i];
    FUZZ_CHECK(!truncated);  // only the last block may run past the end
    CheckEntry(entry, i, image, size, layout);
    if (entry.headerBlock == nullptr) FUZZ_CHECK(entry.headerlessNumber == ++headerless);
    // An entry's header comes before its data.
    const auto follows = [&](StoredRange range) {
      FUZZ_CHECK(range.start >= next);
      next = range.start + range.length;
    };
    if (entry.headerBlock != nullptr) follows(entry.StoredHeader());
    if (entry.dataBlock != nullptr) follows(entry.StoredData());
    if (entry.dataBlock != nullptr)
      truncated = static_cast<std::size_t>(entry.dataBlock - image) + entry.dataBlockLength > size;
    stored += entry.storedSize;
  }
  FUZZ_CHECK(tape.headerlessCount == headerless);
  if (layout.format == ImageFormat::Tap) {
    FUZZ_CHECK(truncated ? stored > size : stored == size);
  } else {
    FUZZ_CHECK(stored <= size - layout.firstByte);
  }
}

void ScanEveryMode(const std::uint8_t* data, std::size_t size) {
  ImageFormat format;
  const bool known = FormatOfImage(data, size, format).IsOk();
  const Layout layout{format, format == ImageFormat::Tzx ? TzxHeaderSize : 0};
  for (int mode = 0; mode < 3; ++mode) {
    Settings settings{};
    settings.ExtractHobeta = mode == 1;
    settings.RarevCompatible = mode == 2;
    TapeImage tape;
    const Status status = ScanImage(tape, data, size, settings, 0x5A3B6C4D);
    if (status.IsOk()) {
      FUZZ_CHECK(known);
      CheckScan(tape, data, size, layout);
    } else {
      FUZZ_CHECK(status.code == E_BAD_ARCHIVE || status.code == E_BAD_DATA || (!known && status.code == E_UNKNOWN_FORMAT));
      FUZZ_CHECK(status.message == nullptr);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScanEveryMode(data, size);
  // The same bytes as the blocks of a TZX image, in a buffer of exactly
  // their size so that a read past the end shows.
  std::vector<std::uint8_t> tzx(TzxHeader, TzxHeader + TzxHeaderSize);
  tzx.insert(tzx.end(), data, data + size);
  ScanEveryMode(tzx.data(), tzx.size());
  return 0;
}
