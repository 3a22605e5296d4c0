#include "tape/time_code.h"

#include "tape/tape_entry.h"

std::uint64_t EncodeTimeCode(const TapeEntry& entry) {
  if (entry.headerlessMarker) return HeaderlessMarkerTime;
  const std::uint64_t pair = (static_cast<std::uint64_t>(entry.timeParamHigh) << 16) | entry.timeParamLow;
  return TimeCodeEpoch + TimeCodeHalfStep + pair * 2 * TimeCodeHalfStep;
}

DecodedTimeCode DecodeTimeCode(std::uint64_t creationTime) {
  if (creationTime == HeaderlessMarkerTime) return {DecodedTimeCode::Headerless, 0, 0};
  const std::uint64_t sinceEpoch = creationTime - TimeCodeEpoch;  // modulo 2^64 by design
  if (sinceEpoch % TimeCodeHalfStep != 0 || (sinceEpoch / TimeCodeHalfStep) % 2 == 0) return {DecodedTimeCode::None, 0, 0};
  const std::uint64_t pair = sinceEpoch / (2 * TimeCodeHalfStep);
  if (pair > 0xFFFFFFFFULL) return {DecodedTimeCode::None, 0, 0};
  return {DecodedTimeCode::Pair, static_cast<std::uint16_t>(pair & 0xFFFF), static_cast<std::uint16_t>(pair >> 16)};
}
