// The TAP format: the blocks that the Spectrum's tape routines write, one
// after another with nothing between them. A block is a length word (the
// count of the bytes that follow it), a flag byte, the payload and a check
// byte. A block of length 19 with flag 0 is a header; the data block after
// it belongs to it. Multi-byte values are little-endian.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t LengthWordSize = 2;
inline constexpr std::uint8_t HeaderFlag = 0x00;
inline constexpr std::uint8_t DataFlag = 0xFF;
inline constexpr std::uint16_t HeaderBlockLength = 19;  // flag, 17 header bytes, check byte
// A header block as stored: length word, flag, 17 header bytes, check byte.
inline constexpr std::uint32_t StoredHeaderBlockSize = LengthWordSize + HeaderBlockLength;
// What a data block adds to its payload as stored: length word, flag, check byte.
inline constexpr std::uint32_t DataBlockOverhead = LengthWordSize + 2;

inline constexpr std::uint8_t ProgramType = 0;  // TapeHeader.type of a BASIC program
inline constexpr std::uint8_t CodeType = 3;     // TapeHeader.type of bytes (code)
// What a header carries in a parameter that means nothing for its file: a
// program's param1 without autostart line, a bytes header's param2.
inline constexpr std::uint16_t NoParamValue = 0x8000;

#pragma pack(push, 1)
struct TapeHeader {
  std::uint8_t type;  // 0 program, 1 number array, 2 character array, 3 bytes
  char name[10];      // padded with spaces
  std::uint16_t length;
  std::uint16_t param1;
  std::uint16_t param2;
};
#pragma pack(pop)
static_assert(sizeof(TapeHeader) == 17);
static_assert(HeaderBlockLength == sizeof(TapeHeader) + 2);
