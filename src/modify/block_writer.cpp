#include "modify/block_writer.h"

#include <cstring>

#include "support/heap.h"

BlockWriter::~BlockWriter() { MemFree(buffer_); }

Status BlockWriter::Start() {
  buffer_ = static_cast<std::uint8_t*>(MemAlloc(BufferSize));
  return buffer_ != nullptr ? StatusOk : StatusNoMemory;
}

bool BlockWriter::Append(const std::uint8_t* bytes, std::uint32_t count) {
  if (count > BufferSize - used_ && !Flush()) return false;
  // A block that fills the buffer by itself goes out as it is.
  if (count >= BufferSize) return image_.Write(bytes, count);
  std::memcpy(buffer_ + used_, bytes, count);
  used_ += count;
  return true;
}

bool BlockWriter::Flush() {
  const std::uint32_t count = used_;
  used_ = 0;
  return image_.Write(buffer_, count);
}
