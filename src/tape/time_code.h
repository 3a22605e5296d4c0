// The creation time of an extracted file carries the two header values that
// the file name cannot: packing reads them back from it.
#pragma once

#include <cstdint>

#include "tape/field_roles.h"

struct TapeEntry;

// 1984-02-21 04:55:48 UTC: the file came from a block without header.
inline constexpr std::uint64_t HeaderlessMarkerTime = 0x01AD8BEBB50D6200ULL;
// 1981-06-02 00:00:00 UTC; a pair N sits at (2N + 1) * 10 ms after it.
inline constexpr std::uint64_t TimeCodeEpoch = 0x01AA7EABB3D00000ULL;
inline constexpr std::uint64_t TimeCodeHalfStep = 100000;  // 10 ms

// The creation time for an entry's extracted file (a file time).
std::uint64_t EncodeTimeCode(const TapeEntry& entry);

struct DecodedTimeCode {
  enum Kind { None, Headerless, Pair } kind;
  std::uint16_t timeParamLow;
  std::uint16_t timeParamHigh;

  HeaderPair PairValues() const { return {timeParamLow, timeParamHigh}; }
};

DecodedTimeCode DecodeTimeCode(std::uint64_t creationTime);
