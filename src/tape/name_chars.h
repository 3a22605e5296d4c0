// Character classes shared by the forming and the reading of entry names.
#pragma once

#include <cstddef>
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

// Whether `a` and `b` agree in their first `count` characters, or up to a NUL
// that both have at the same place, letters A-Z counting as a-z.
inline bool EqualFolded(const char* a, const char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
    if (a[i] == '\0') return true;
  }
  return true;
}
