#include "tape/tap_image_builder.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "tape/block_checksum.h"

namespace tap_test {

Bytes Block(std::uint8_t flag, const Bytes& payload) {
  const std::size_t length = payload.size() + 2;
  Bytes block{static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8), flag};
  block.insert(block.end(), payload.begin(), payload.end());
  block.push_back(BlockChecksum(block.data() + 2, block.size() - 2));
  return block;
}

Bytes HeaderBlock(std::uint8_t type, const char* name, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2) {
  TapeHeader header;
  header.type = type;
  std::memset(header.name, ' ', sizeof header.name);
  std::memcpy(header.name, name, std::min(std::strlen(name), sizeof header.name));
  header.length = length;
  header.param1 = param1;
  header.param2 = param2;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
  return Block(HeaderFlag, Bytes(bytes, bytes + sizeof header));
}

Bytes DataBlock(const Bytes& payload, std::uint8_t flag) { return Block(flag, payload); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Pattern(std::size_t count, std::uint8_t seed) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

ScannedImage::ScannedImage(Bytes image, const Settings& settings) : image_(std::move(image)) {
  handle_.image.view = image_.data();
  handle_.image.size = image_.size();
  handle_.settings = settings;
  handle_.dosDateTime = TestDosDateTime;
}

// The image was never opened, so the release finds no file or mapping to close.
ScannedImage::~ScannedImage() { ReleaseHandle(handle_); }

Status ScannedImage::Scan() { return ScanImage(handle_); }

}  // namespace tap_test
