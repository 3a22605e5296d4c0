// Any bytes as a mapped TAP image, scanned in each naming mode. Besides
// staying inside the image, a successful scan must keep its promises about
// the entries; a failed one must say why.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "tape/tape_image.h"

namespace {

volatile std::uint8_t sink;

void CheckEntry(const TapeEntry& entry, std::uint32_t index, const std::uint8_t* image, std::size_t size) {
  FUZZ_CHECK(entry.index == static_cast<std::int32_t>(index));
  FUZZ_CHECK(entry.headerBlock != nullptr || entry.dataBlock != nullptr);
  FUZZ_CHECK(entry.hasTimeParams + entry.headerlessMarker == 1);
  FUZZ_CHECK((entry.headerBlock != nullptr) == (entry.hasTimeParams == 1));
  if (entry.headerBlock != nullptr) {
    const std::size_t offset = static_cast<std::size_t>(entry.headerBlock - image);
    FUZZ_CHECK(offset >= 2 && offset + HeaderBlockLength <= size);
    FUZZ_CHECK(entry.headerBlock[0] == HeaderFlag && entry.headerlessNumber == 0);
  }
  std::uint32_t payload = 0;
  if (entry.dataBlock != nullptr) {
    const std::size_t offset = static_cast<std::size_t>(entry.dataBlock - image);
    FUZZ_CHECK(offset >= 2 && offset < size && entry.dataBlockLength >= 1);
    const bool inside = offset + entry.dataBlockLength <= size;
    FUZZ_CHECK(entry.dataComplete == (inside && entry.dataBlockLength >= 2));
    // What an extraction reads: every byte of a complete block.
    if (entry.dataComplete)
      for (std::uint32_t i = 0; i < entry.dataBlockLength; ++i) sink = sink ^ entry.dataBlock[i];
    payload = entry.dataBlockLength >= 2 ? entry.dataBlockLength - 2 : 0;
  }
  FUZZ_CHECK(entry.PayloadLength() == payload);
  FUZZ_CHECK(entry.storedSize == (entry.dataBlock != nullptr ? entry.dataBlockLength + 2 : 0) +
                                     (entry.headerBlock != nullptr ? 21 : 0));
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

void CheckScan(const TapeImage& tape, const std::uint8_t* image, std::size_t size) {
  std::uint64_t stored = 0;
  std::uint32_t headerless = 0;
  bool truncated = false;
  for (std::uint32_t i = 0; i < tape.entries.count; ++i) {
    const TapeEntry& entry = tape.entries.items[i];
    FUZZ_CHECK(!truncated);  // only the last block may run past the end
    CheckEntry(entry, i, image, size);
    if (entry.headerBlock == nullptr) FUZZ_CHECK(entry.headerlessNumber == ++headerless);
    if (entry.dataBlock != nullptr)
      truncated = static_cast<std::size_t>(entry.dataBlock - image) + entry.dataBlockLength > size;
    stored += entry.storedSize;
  }
  FUZZ_CHECK(tape.headerlessCount == headerless);
  FUZZ_CHECK(truncated ? stored > size : stored == size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (int mode = 0; mode < 3; ++mode) {
    Settings settings{};
    settings.ExtractHobeta = mode == 1;
    settings.RarevCompatible = mode == 2;
    TapeImage tape;
    const Status status = ScanImage(tape, data, size, settings, 0x5A3B6C4D);
    if (status.IsOk()) {
      CheckScan(tape, data, size);
    } else {
      FUZZ_CHECK(status.code == E_BAD_ARCHIVE || status.code == E_BAD_DATA);
      FUZZ_CHECK(status.message == nullptr);
    }
  }
  return 0;
}
