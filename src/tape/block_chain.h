// The walk over an image's blocks, which listing, packing and deleting all
// take: each length word leads to the next block, and the last one must end
// where the image ends.
#pragma once

#include <cstdint>

struct TapBlock {
  const std::uint8_t* start;  // the flag byte
  std::uint32_t length;       // the length word: flag, payload and check byte
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

// Every block complete and nothing after the last: an image that new blocks
// can be appended to.
bool IsWholeChain(const std::uint8_t* bytes, std::uint64_t size);
