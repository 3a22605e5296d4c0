// Test helpers: TAP images built byte by byte, and a handle that scans one
// held in memory.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "plugin/archive_handle.h"
#include "base/status.h"
#include "settings/settings.h"
#include "tape/tape_entry.h"

namespace tap_test {

using Bytes = std::vector<std::uint8_t>;

// A block: length word, flag, payload and a correct check byte.
Bytes Block(std::uint8_t flag, const Bytes& payload);
Bytes HeaderBlock(std::uint8_t type, const char* name, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2);
Bytes DataBlock(const Bytes& payload, std::uint8_t flag = DataFlag);
Bytes Concat(std::initializer_list<Bytes> parts);
// `count` bytes that differ from their neighbours.
Bytes Pattern(std::size_t count, std::uint8_t seed = 1);

inline constexpr std::uint32_t TestDosDateTime = 0x5A3B6C4Du;

// A zero-filled handle whose image is a byte buffer, as the scan sees a mapping.
class ScannedImage {
 public:
  explicit ScannedImage(Bytes image, const Settings& settings = Settings{});
  ~ScannedImage();
  ScannedImage(const ScannedImage&) = delete;
  ScannedImage& operator=(const ScannedImage&) = delete;

  Status Scan();
  std::uint32_t Count() const { return handle_.entries.count; }
  const TapeEntry& Entry(std::uint32_t index) const { return *handle_.entries.At(index); }
  ArchiveHandle& Handle() { return handle_; }
  // Offset of a pointer into the image.
  std::ptrdiff_t OffsetOf(const std::uint8_t* pointer) const { return pointer - image_.data(); }

 private:
  Bytes image_;
  ArchiveHandle handle_{};
};

}  // namespace tap_test
