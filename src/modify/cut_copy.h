// Copies a view to a file less the ranges cut out of it: what a delete
// writes is the image without the deleted entries' blocks, every other byte
// kept in its order, in as few writes as there are gaps between the cuts.
#pragma once

#include <cstdint>

#include "file/disk_file.h"

class CutCopy {
 public:
  CutCopy(DiskFile& target, const std::uint8_t* bytes, std::uint64_t size)
      : target_(target), next_(bytes), end_(bytes + size) {}
  CutCopy(const CutCopy&) = delete;
  CutCopy& operator=(const CutCopy&) = delete;

  // Writes what lies between the last cut and this one, which must lie after
  // it, and leaves out `count` bytes at `start`. False when the write fails.
  bool Cut(const std::uint8_t* start, std::uint64_t count);
  // Writes the rest of the view; false when the write fails.
  bool Finish() { return Cut(end_, 0); }

 private:
  DiskFile& target_;
  const std::uint8_t* next_;  // the first byte not yet written or cut
  const std::uint8_t* end_;
};
