// One listed tape file: a header block with the data block after it, a
// header alone, or a data block without a header.
#pragma once

#include <cstdint>

#include "tape/tap_format.h"

// Bytes of an image: where they start and how many.
struct StoredRange {
  const std::uint8_t* start;
  std::uint32_t length;
};

// Kept by the thousand for a large image: only what the scan finds and what
// the listing reads again and again; the hobeta header and the Rarev record
// are made from it when they are wanted.
struct TapeEntry {
  const std::uint8_t* dataBlock;    // flag byte of the data block in the image, or null
  const std::uint8_t* headerBlock;  // flag byte of the header block, or null
  std::uint32_t dataBlockLength;    // length word N
  std::uint32_t storedSize;
  std::uint32_t extractedSize;
  std::int32_t index;
  std::uint32_t headerlessNumber;
  std::uint32_t duplicateOrdinal;
  std::uint32_t listedName;  // where its name starts in the image's listed names
  std::uint16_t timeParamLow;
  std::uint16_t timeParamHigh;
  std::uint8_t trailer[4];
  std::uint16_t hobetaPadding;
  std::uint8_t trailerLength;
  bool dataComplete;  // N >= 2 and the block lies inside the image
  std::uint8_t hasTimeParams;
  std::uint8_t headerlessMarker;
  std::uint8_t extractAsHobeta;
  std::uint8_t hobetaFits;
  std::uint8_t hasRarevRecord;  // named in the "Rarev compatible" form
  // What is stored before each block's flag byte: the length word, or the
  // TZX block's ID and fields.
  std::uint8_t headerLead;
  std::uint8_t dataLead;

  // Bytes between the data block's flag and checksum; 0 without a usable data block.
  std::uint32_t PayloadLength() const { return dataBlock != nullptr && dataBlockLength >= 2 ? dataBlockLength - 2 : 0; }

  // The blocks as stored, from the first byte of what frames them.
  StoredRange StoredHeader() const { return {headerBlock - headerLead, headerLead + std::uint32_t{HeaderBlockLength}}; }
  StoredRange StoredData() const { return {dataBlock - dataLead, dataLead + dataBlockLength}; }

  const TapeHeader* Header() const {
    return headerBlock != nullptr ? reinterpret_cast<const TapeHeader*>(headerBlock + 1) : nullptr;
  }
};
static_assert(sizeof(TapeEntry) <= 64);
