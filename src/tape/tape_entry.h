// One listed tape file: a header block with the data block after it, a
// header alone, or a data block without a header.
#pragma once

#include <cstdint>

#include "tape/tap_format.h"

#pragma pack(push, 1)
// The BS-DOS directory record of the "Rarev compatible" naming.
struct RarevRecord {
  std::uint8_t kind;  // 0x81 header alone, 0x83 header with data
  std::uint32_t dosDateTime;
  TapeHeader header;
  std::uint16_t body;
  std::uint32_t payloadLength;
  std::uint8_t flag;
  std::uint8_t attribute;
  std::uint16_t reserved;
};
#pragma pack(pop)
static_assert(sizeof(RarevRecord) == 32);

struct TapeEntry {
  const std::uint8_t* dataBlock;    // flag byte of the data block in the image, or null
  const std::uint8_t* headerBlock;  // flag byte of the header block, or null
  std::uint32_t dataBlockLength;    // length word N
  bool dataComplete;                // N >= 2 and the block lies inside the image
  std::uint32_t storedSize;
  std::uint32_t extractedSize;
  std::int32_t index;
  std::uint32_t headerlessNumber;
  std::uint32_t duplicateOrdinal;
  std::uint16_t timeParamLow;
  std::uint16_t timeParamHigh;
  std::uint8_t hasTimeParams;
  std::uint8_t headerlessMarker;
  std::uint32_t trailerLength;
  std::uint8_t trailer[4];
  std::uint32_t hobetaPadding;
  std::uint32_t listedName;  // where its name starts in the image's listed names
  std::uint8_t extractAsHobeta;
  std::uint8_t hobetaFits;
  std::uint8_t hobetaHeader[17];
  std::uint8_t hasRarevRecord;
  RarevRecord rarevRecord;

  // Bytes between the data block's flag and checksum; 0 without a usable data block.
  std::uint32_t PayloadLength() const { return dataBlock != nullptr && dataBlockLength >= 2 ? dataBlockLength - 2 : 0; }

  const TapeHeader* Header() const {
    return headerBlock != nullptr ? reinterpret_cast<const TapeHeader*>(headerBlock + 1) : nullptr;
  }
};
