// The walk over an image's TAP blocks in the image's own format, for
// everything that reads blocks without caring where they are stored.
#pragma once

#include <cstdint>

#include "tape/block_chain.h"
#include "tape/image_format.h"
#include "tape/tzx_walk.h"

// Calls `visit(walk)` with a fresh walk, BlockChain or TzxWalk, over the
// image and returns what it returns. Each walk is its own type, so the
// visit of a TAP image costs what it did before TZX.
template <typename Visit>
auto WithTapeWalk(const std::uint8_t* bytes, std::uint64_t size, ImageFormat format, Visit visit) {
  if (format == ImageFormat::Tzx) {
    TzxWalk walk(bytes, size);
    return visit(walk);
  }
  BlockChain chain(bytes, size);
  return visit(chain);
}

// Every block complete and nothing after the last: an image that new blocks
// can be appended to.
bool IsWholeImage(const std::uint8_t* bytes, std::uint64_t size, ImageFormat format);
