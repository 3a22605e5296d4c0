// Appends blocks to an image through a buffer, so that the many small blocks
// of a packing call reach the file in few large writes, in their order.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"

class BlockWriter {
 public:
  static constexpr std::uint32_t BufferSize = 0x10000;

  explicit BlockWriter(DiskFile& image) : image_(image) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;
  ~BlockWriter();

  // StatusNoMemory when the buffer cannot be allocated.
  Status Start();
  // False when a write fails; what was buffered before is then lost.
  bool Append(const std::uint8_t* bytes, std::uint32_t count);
  // Writes out what is buffered; false when the write fails.
  bool Flush();

 private:
  DiskFile& image_;
  std::uint8_t* buffer_ = nullptr;
  std::uint32_t used_ = 0;
};
