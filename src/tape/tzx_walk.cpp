#include "tape/tzx_walk.h"

#include "tape/tzx_block_table.h"

bool TzxWalk::Next(TapBlock& block) {
  while (!broken_ && offset_ < size_) {
    const TzxBodyRule& rule = TzxBodyRules[bytes_[offset_]];
    const std::uint64_t body = offset_ + 1;
    if (rule.fixedBytes > size_ - body) break;
    const std::uint8_t* count = bytes_ + body + rule.fixedBytes - rule.countWidth;
    std::uint64_t counted = 0;
    for (std::uint32_t i = rule.countWidth; i-- > 0;) counted = counted << 8 | count[i];
    const std::uint64_t rest = body + rule.fixedBytes;
    if (counted * rule.unit > size_ - rest) break;
    offset_ = rest + counted * rule.unit;
    // An empty data block carries no TAP block: not even a flag byte.
    if (!rule.carriesTapeBlock || counted == 0) continue;
    block.start = bytes_ + rest;
    block.length = static_cast<std::uint32_t>(counted);
    block.lead = static_cast<std::uint8_t>(1 + rule.fixedBytes);
    block.complete = true;
    return true;
  }
  if (offset_ < size_) broken_ = true;
  return false;
}
