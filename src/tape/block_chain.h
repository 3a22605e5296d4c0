// The walk over a TAP image's blocks: each length word leads to the next
// block, and the last one must end where the image ends.
#pragma once

#include <cstdint>

// A TAP block wherever it is stored: alone in a TAP image, or in a TZX block.
struct TapBlock {
  const std::uint8_t* start;  // the flag byte
  std::uint32_t length;       // flag, payload and check byte
  std::uint8_t lead;          // the stored bytes before the flag byte: length word, or TZX ID and fields
  bool complete;              // the block lies wholly within the image
};

class BlockChain {
 public:
  BlockChain(const std::uint8_t* bytes, std::uint64_t size) : bytes_(bytes), size_(size) {}

  // The next block; false at the end of the image and where the chain
  // breaks. Only the last block can be incomplete.
  bool Next(TapBlock& block);
  // The walk stopped at damage: bytes too few for a length word and a flag
  // byte, or a length word of 0.
  bool Broken() const { return broken_; }

 private:
  const std::uint8_t* bytes_;
  std::uint64_t size_;
  std::uint64_t offset_ = 0;
  bool broken_ = false;
};
