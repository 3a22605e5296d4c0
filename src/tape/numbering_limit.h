// A listed name's number prefix has two hexadecimal or three decimal digits,
// so it numbers the entries 0 to 255: an image of more entries can only be
// listed without numbering.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t HexPrefixDigits = 2;
inline constexpr std::uint32_t DecimalPrefixDigits = 3;

inline constexpr std::uint32_t NumberedEntryLimit = 1u << (4 * HexPrefixDigits);  // 256
inline constexpr std::int32_t MaxNumberedIndex = NumberedEntryLimit - 1;
static_assert(NumberedEntryLimit <= 1000);  // three decimal digits number them all too
