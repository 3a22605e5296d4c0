// How long the body of each kind of TZX block is. A body is a fixed part,
// whose last bytes may be a count, and then count times a unit of further
// bytes. A new kind of block is one row of the table.
#pragma once

#include <array>
#include <cstdint>

struct TzxBodyRule {
  std::uint8_t fixedBytes;  // the part before the bytes counted, the count included
  std::uint8_t countWidth;  // bytes of the count at the end of the fixed part; 0 without
  std::uint8_t unit;        // bytes per count
  bool carriesTapeBlock;    // the counted bytes are a TAP block: flag, payload, check byte
};

// The rules by ID, made from the table of kinds; an ID not in it has the
// rule that the format gives blocks it does not know: a 4-byte count of bytes.
extern const std::array<TzxBodyRule, 256> TzxBodyRules;
