// Hobeta files: one TR-DOS disk file behind a 17-byte header, its data in
// whole 256-byte sectors. Entries are extracted in this form on request, and
// files in it are turned back into tape files when packed.
#pragma once

#include <cstdint>

#include "plugin/archive_handle.h"
#include "settings/settings.h"
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
inline constexpr std::uint32_t HobetaSectorSize = 256;
inline constexpr std::uint32_t MaxHobetaData = 255 * HobetaSectorSize;  // 65280

// The checksum over the first 15 bytes of a hobeta header.
std::uint16_t HobetaChecksum(const std::uint8_t* header);

// Fills the entry's hobeta header, trailer, hobetaFits, extractAsHobeta,
// hobetaPadding and extractedSize from its blocks, headerlessNumber and the
// handle's settings and headerlessDigits.
void MakeHobetaHeader(TapeEntry& entry, const ArchiveHandle& handle);

enum class HobetaCheck { NotHobeta, Hobeta, BadSize };

// Recognises a file being packed; safe for any bytes and any size.
HobetaCheck IsHobetaFile(const std::uint8_t* contents, std::uint64_t size);

struct HobetaTapeFile {
  TapeHeader header;
  std::uint32_t dataLength;  // bytes taken from the data area, which starts at HobetaHeaderSize
};

// The tape file that a file accepted by IsHobetaFile packs into.
HobetaTapeFile HeaderFromHobeta(const std::uint8_t* contents, std::uint64_t size, const Settings& settings);
