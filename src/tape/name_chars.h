// Character classes shared by the forming and the reading of entry names.
#pragma once

#include <cstdint>

inline constexpr char UpperHexDigits[] = "0123456789ABCDEF";

inline constexpr bool IsDecimalDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The value of "0"-"9" or "A"-"F"; -1 for anything else, lower case included,
// because names only ever carry upper-case escapes.
inline constexpr int UpperHexValue(char ch) {
  if (IsDecimalDigit(ch)) return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

inline constexpr bool IsPrintableAscii(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

inline constexpr char FoldAsciiLetter(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }
