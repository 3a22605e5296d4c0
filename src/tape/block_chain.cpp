#include "tape/block_chain.h"

#include "tape/tap_format.h"

bool BlockChain::Next(TapBlock& block) {
  if (broken_ || offset_ >= size_) return false;
  const std::uint64_t left = size_ - offset_;
  // A length word and a flag byte at least; stray bytes at the end are damage.
  if (left < LengthWordSize + 1) {
    broken_ = true;
    return false;
  }
  const std::uint8_t* word = bytes_ + offset_;
  const std::uint32_t length = word[0] | word[1] << 8;
  if (length == 0) {
    broken_ = true;
    return false;
  }
  block.start = word + LengthWordSize;
  block.length = length;
  block.lead = LengthWordSize;
  block.complete = length <= left - LengthWordSize;
  offset_ += LengthWordSize + length;
  return true;
}
