// Hobeta files: one TR-DOS disk file behind a 17-byte header, its data in
// whole 256-byte sectors. An entry can be extracted in this form.
#pragma once

#include <cstdint>

#include "tape/hobeta_sectors.h"
#include "tape/tape_entry.h"

#pragma pack(push, 1)
struct HobetaHeader {
  char name[8];  // padded with spaces
  std::uint8_t type;  // 'B' BASIC program, 'C' code, other bytes carried through
  std::uint16_t start;   // 'B': program and variables together; others: load address
  std::uint16_t length;  // 'B': program without variables; others: data length
  std::uint8_t zero;
  std::uint8_t sectors;
  std::uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(HobetaHeader) == 17);

inline constexpr std::uint32_t HobetaHeaderSize = sizeof(HobetaHeader);

// The checksum over the first 15 bytes of a hobeta header.
std::uint16_t HobetaChecksum(const std::uint8_t* header);

// The hobeta header of an entry from its blocks, its trailer and
// headerlessNumber; a headerless entry is named "data" and its number with
// `headerlessDigits` digits.
HobetaHeader HobetaHeaderOf(const TapeEntry& entry, std::uint32_t headerlessDigits);

// The bytes an entry's hobeta form holds before its sector fill: its payload
// and its trailer.
inline std::uint32_t HobetaContent(const TapeEntry& entry) { return entry.PayloadLength() + entry.trailerLength; }
