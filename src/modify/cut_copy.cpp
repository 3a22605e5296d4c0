#include "modify/cut_copy.h"

bool CutCopy::Cut(const std::uint8_t* start, std::uint64_t count) {
  const auto kept = static_cast<std::uint64_t>(start - next_);
  if (kept != 0 && !target_.Write(next_, kept)) return false;
  next_ = start + count;
  return true;
}
