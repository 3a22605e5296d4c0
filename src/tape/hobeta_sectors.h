// A hobeta file's data lie in whole 256-byte sectors, at most 255 of them.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t HobetaSectorSize = 256;
inline constexpr std::uint32_t MaxHobetaSectors = 255;
inline constexpr std::uint32_t MaxHobetaData = MaxHobetaSectors * HobetaSectorSize;  // 65280

// The sectors that `bytes` bytes take, the last one perhaps in part.
inline constexpr std::uint32_t SectorsFor(std::uint32_t bytes) {
  return (bytes + HobetaSectorSize - 1) / HobetaSectorSize;
}

inline constexpr std::uint32_t SectorBytes(std::uint32_t sectors) { return sectors * HobetaSectorSize; }

// The zero bytes after `bytes` bytes that fill their last sector.
inline constexpr std::uint32_t SectorFill(std::uint32_t bytes) { return SectorBytes(SectorsFor(bytes)) - bytes; }
