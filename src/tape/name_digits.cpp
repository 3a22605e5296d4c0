#include "tape/name_digits.h"

#include "tape/name_chars.h"

namespace {
constexpr std::uint32_t MaxDigits = 14;  // more than any 32-bit value needs
}

Status AppendDigits(String& s, std::uint32_t value, std::uint32_t width, bool hex) {
  if (width > MaxDigits) return ShownFailure(hex ? "Error s092" : "Error s091");
  const std::uint32_t radix = hex ? 16 : 10;
  char digits[MaxDigits + 1];
  digits[MaxDigits] = '\0';
  std::uint32_t count = 0;
  do {
    digits[MaxDigits - 1 - count] = UpperHexDigits[value % radix];
    value /= radix;
    ++count;
  } while (value != 0 || count < width);
  return s.AppendBytes(digits + MaxDigits - count, count);
}
