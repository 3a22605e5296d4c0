// The walk over a TZX image's blocks, yielding the TAP blocks that its data
// blocks carry and passing over every other block. Unlike a TAP image's last
// block, no TZX block may run past the end of the image.
#pragma once

#include <cstdint>

#include "tape/block_chain.h"
#include "tape/tzx_format.h"

class TzxWalk {
 public:
  // `bytes` is the whole image, from its header on.
  TzxWalk(const std::uint8_t* bytes, std::uint64_t size) : bytes_(bytes), size_(size), broken_(size < TzxHeaderSize) {}

  // The next TAP block; false at the end of the image and at damage.
  bool Next(TapBlock& block);
  // The walk stopped at a block that runs past the end of the image.
  bool Broken() const { return broken_; }

 private:
  const std::uint8_t* bytes_;
  std::uint64_t size_;
  std::uint64_t offset_ = TzxHeaderSize;
  bool broken_;
};
