#include "tape/image_format.h"

#include <cstring>

#include "tape/name_chars.h"
#include "tape/tzx_format.h"

Status FormatOfImage(const std::uint8_t* bytes, std::uint64_t size, ImageFormat& format) {
  format = ImageFormat::Tap;
  if (size < TzxSignatureSize || std::memcmp(bytes, TzxSignature, TzxSignatureSize) != 0) return StatusOk;
  format = ImageFormat::Tzx;
  // Minor versions only add kinds of block, which the walk passes over by their length.
  if (size > TzxSignatureSize && bytes[TzxSignatureSize] != TzxMajorVersion) return SilentFailure(E_UNKNOWN_FORMAT);
  return StatusOk;
}

ImageFormat FormatOfNewImage(const char* path) {
  const std::size_t length = std::strlen(path);
  constexpr char Extension[] = ".tzx";
  constexpr std::size_t ExtensionLength = sizeof Extension - 1;
  const bool tzx = length >= ExtensionLength && EqualFolded(path + length - ExtensionLength, Extension, ExtensionLength);
  return tzx ? ImageFormat::Tzx : ImageFormat::Tap;
}
