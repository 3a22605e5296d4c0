// The character that stands for a tape type where a file name or a hobeta
// header carries it: "B" for a BASIC program, "C" for code, any other type as
// its own byte. The bytes "B" and "C" therefore read back as types 0 and 3.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tape/tap_format.h"

inline constexpr std::uint8_t ProgramTypeChar = 'B';
inline constexpr std::uint8_t CodeTypeChar = 'C';

inline constexpr std::uint8_t TypeCharOf(std::uint8_t tapeType) {
  if (tapeType == ProgramType) return ProgramTypeChar;
  if (tapeType == CodeType) return CodeTypeChar;
  return tapeType;
}

inline constexpr std::uint8_t TapeTypeOf(std::uint8_t typeChar) {
  if (typeChar == ProgramTypeChar) return ProgramType;
  if (typeChar == CodeTypeChar) return CodeType;
  return typeChar;
}

// The type that a name's extension gives, from its first character and its
// length: a lone type character, or a three-letter extension of code such as
// "COD"; any other extension gives the byte of its first character.
inline constexpr std::uint8_t TapeTypeOfExtension(std::uint8_t typeChar, std::size_t extLength) {
  const bool typeExtension = extLength == 1 || (typeChar == CodeTypeChar && extLength == 3);
  return typeExtension ? TapeTypeOf(typeChar) : typeChar;
}
