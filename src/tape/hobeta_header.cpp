// A tape entry expressed as a hobeta file: the header that goes in front of
// its payload and trailer.
#include "tape/hobeta_header.h"

#include <cstring>

#include "tape/field_roles.h"
#include "tape/type_char.h"

namespace {

constexpr std::uint32_t MaxNumberDigits = 4;

// "data" and the entry's ordinal with `digits` digits (at most 4, the lowest
// ones), then spaces.
void HeaderlessName(std::uint32_t number, std::uint32_t digits, char name[8]) {
  std::memcpy(name, "data    ", 8);
  if (digits > MaxNumberDigits) digits = MaxNumberDigits;
  for (std::uint32_t i = digits; i > 0; --i) {
    name[4 + i - 1] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
}

}  // namespace

std::uint16_t HobetaChecksum(const std::uint8_t* header) {
  std::uint32_t sum = 0;
  for (int i = 0; i < 15; ++i) sum += header[i];
  return static_cast<std::uint16_t>(257 * sum + 105);
}

HobetaHeader HobetaHeaderOf(const TapeEntry& entry, std::uint32_t headerlessDigits) {
  const std::uint32_t payload = entry.PayloadLength();
  HobetaHeader hobeta{};
  if (const TapeHeader* tape = entry.Header()) {
    std::memcpy(hobeta.name, tape->name, sizeof hobeta.name);
    hobeta.type = TypeCharOf(tape->type);
    const HeaderPair pair = PairOf(*tape);
    hobeta.start = pair.low;
    hobeta.length = pair.high;
  } else {
    HeaderlessName(entry.headerlessNumber, headerlessDigits, hobeta.name);
    hobeta.type = CodeTypeChar;
    hobeta.start = 0;
    hobeta.length = static_cast<std::uint16_t>(payload);
  }

  // Wraps for content that does not fit; such an entry is never written as hobeta.
  hobeta.sectors = static_cast<std::uint8_t>(SectorsFor(HobetaContent(entry)));
  hobeta.checksum = HobetaChecksum(reinterpret_cast<const std::uint8_t*>(&hobeta));
  return hobeta;
}
