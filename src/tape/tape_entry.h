// The TAP format's records, and one listed tape file.
#pragma once

#include <cstdint>

#include "plugin/archive_handle.h"
#include "base/status.h"

#pragma pack(push, 1)
struct TapeHeader {
  std::uint8_t type;  // 0 program, 1 number array, 2 character array, 3 bytes
  char name[10];      // padded with spaces
  std::uint16_t length;
  std::uint16_t param1;
  std::uint16_t param2;
};
static_assert(sizeof(TapeHeader) == 17);

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
static_assert(sizeof(RarevRecord) == 32);
#pragma pack(pop)

inline constexpr std::uint8_t ProgramType = 0;  // TapeHeader.type of a BASIC program
inline constexpr std::uint8_t CodeType = 3;     // TapeHeader.type of bytes (code)
inline constexpr std::uint8_t HeaderFlag = 0x00;
inline constexpr std::uint8_t DataFlag = 0xFF;
inline constexpr std::uint16_t HeaderBlockLength = 19;  // flag, 17 header bytes, checksum
inline constexpr std::uint32_t MaxEntries = 100000;

struct TapeEntry {
  const std::uint8_t* dataBlock;    // flag byte of the data block in the mapping, or null
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
  std::uint32_t listedName;  // where its name starts in the handle's listedNames
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

Status ScanImage(ArchiveHandle& handle);
Status AddEntry(ArchiveHandle& handle, TapeEntry*& out);
