// Copies pieces of one view to a file, joining each piece to the one before
// it when it starts where that one ended: the entries that a delete keeps
// mostly lie one after another, and go out in as few writes as a plain copy.
#pragma once

#include <cstdint>

#include "file/disk_file.h"

class RunCopy {
 public:
  explicit RunCopy(DiskFile& target) : target_(target) {}
  RunCopy(const RunCopy&) = delete;
  RunCopy& operator=(const RunCopy&) = delete;

  // False when a write fails.
  bool Add(const std::uint8_t* bytes, std::uint64_t count);
  // Writes out the run still held; false when the write fails.
  bool Flush();

 private:
  DiskFile& target_;
  const std::uint8_t* start_ = nullptr;
  std::uint64_t length_ = 0;
};
