// The 4 bytes that follow a BASIC program's own bytes in its extracted form:
// 0x80, 0xAA and the autostart line (u16); line 0 stands for no autostart.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t AutostartTrailerLength = 4;
// A program header's param1 at or above this starts no line.
inline constexpr std::uint16_t AutostartLimit = 16384;

// The trailer's line for a program header's param1.
std::uint16_t AutostartLine(std::uint16_t param1);

void WriteAutostartTrailer(std::uint8_t out[AutostartTrailerLength], std::uint16_t line);

// True, with `line` set, when the `size` bytes hold a trailer at `offset`.
bool ReadAutostartTrailer(const std::uint8_t* bytes, std::uint64_t size, std::uint64_t offset,
                          std::uint16_t& line);
