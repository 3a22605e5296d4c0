// The TZX format: a header, then typed blocks to the end of the file, each an
// ID byte and a body. Three kinds of block carry a TAP block's bytes (flag,
// payload, check byte) with the timings it is played with; the others carry
// pauses, text, archive information and the like. Multi-byte values are
// little-endian.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t TzxSignature[8] = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A};
inline constexpr std::uint32_t TzxSignatureSize = sizeof TzxSignature;
// The signature, then the major and the minor version.
inline constexpr std::uint32_t TzxHeaderSize = TzxSignatureSize + 2;
inline constexpr std::uint8_t TzxMajorVersion = 1;
inline constexpr std::uint8_t TzxMinorVersion = 20;  // the revision new images claim

inline constexpr std::uint8_t TzxHeader[TzxHeaderSize] = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A,
                                                           TzxMajorVersion, TzxMinorVersion};

// A standard speed data block: ID, pause after it in ms, then the TAP block
// as stored, its length word included. Packing writes these, with the pause
// that other tools give a converted TAP block.
inline constexpr std::uint8_t TzxStandardBlockId = 0x10;
inline constexpr std::uint16_t TzxStandardPause = 1000;
inline constexpr std::uint8_t TzxStandardBlockLead[3] = {TzxStandardBlockId, TzxStandardPause & 0xFF,
                                                         TzxStandardPause >> 8};
