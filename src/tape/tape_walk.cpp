#include "tape/tape_walk.h"

bool IsWholeImage(const std::uint8_t* bytes, std::uint64_t size, ImageFormat format) {
  return WithTapeWalk(bytes, size, format, [](auto& walk) {
    TapBlock block;
    while (walk.Next(block)) {
      if (!block.complete) return false;
    }
    return !walk.Broken();
  });
}
