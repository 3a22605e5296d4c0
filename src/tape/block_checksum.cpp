#include "tape/block_checksum.h"

#include <cstring>

std::uint8_t BlockChecksum(const std::uint8_t* bytes, std::size_t count) {
  // Eight bytes at a time: the XOR of the bytes of all words, folded into one
  // byte, is the XOR of all their bytes.
  std::uint64_t words = 0;
  std::size_t i = 0;
  for (; count - i >= sizeof words; i += sizeof words) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    words ^= word;
  }
  words ^= words >> 32;
  words ^= words >> 16;
  words ^= words >> 8;
  auto sum = static_cast<std::uint8_t>(words);
  for (; i < count; ++i) sum ^= bytes[i];
  return sum;
}
