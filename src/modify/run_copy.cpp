#include "modify/run_copy.h"

bool RunCopy::Add(const std::uint8_t* bytes, std::uint64_t count) {
  if (length_ != 0 && start_ + length_ == bytes) {
    length_ += count;
    return true;
  }
  if (!Flush()) return false;
  start_ = bytes;
  length_ = count;
  return true;
}

bool RunCopy::Flush() {
  const std::uint64_t count = length_;
  length_ = 0;
  return count == 0 || target_.Write(start_, count);
}
