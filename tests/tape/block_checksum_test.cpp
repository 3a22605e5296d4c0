#include "tape/block_checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Every length up to a few words, at every alignment: the check byte is the
// XOR of all bytes, which makes the XOR over the block with it 0.
TEST(BlockChecksumTest, IsTheXorOfEveryByteAtAnyLengthAndAlignment) {
  std::vector<std::uint8_t> bytes(64);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t count = 0; offset + count < bytes.size(); ++count) {
      std::uint8_t expected = 0;
      for (std::size_t i = 0; i < count; ++i) expected ^= bytes[offset + i];
      ASSERT_EQ(BlockChecksum(bytes.data() + offset, count), expected) << "offset " << offset << " count " << count;
    }
  }
  // A code header for "SCREEN" of 3 bytes, flag byte first.
  const std::uint8_t header[] = {0x00, 0x03, 'S', 'C', 'R', 'E', 'E', 'N', ' ', ' ', ' ', ' ',
                                 0x03, 0x00, 0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(BlockChecksum(header, sizeof header), 0x8C);
}

}  // namespace
