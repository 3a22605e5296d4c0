// The BS-DOS directory record of the "Rarev compatible" naming: what a name
// of that form writes out of a header entry.
#pragma once

#include <cstdint>

#include "tape/tap_format.h"
#include "tape/tape_entry.h"

#pragma pack(push, 1)
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

// The record of an entry of an image dated `dosDateTime`; all zero for an
// entry without a header.
RarevRecord RarevRecordOf(const TapeEntry& entry, std::uint32_t dosDateTime);
