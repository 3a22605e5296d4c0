// Which of the two tape formats an image is in: a TZX image starts with its
// signature, anything else is read as TAP. A new image takes its format from
// its name.
#pragma once

#include <cstdint>

#include "base/status.h"

enum class ImageFormat { Tap, Tzx };

// The format of the `size` bytes of an image; E_UNKNOWN_FORMAT, without
// message, for a TZX major version this reader does not know. A TZX header
// cut short is TZX: the walk over its blocks finds the damage.
Status FormatOfImage(const std::uint8_t* bytes, std::uint64_t size, ImageFormat& format);
// The format of an image made anew at `path`: TZX when the name ends in
// ".tzx", in any letter case.
ImageFormat FormatOfNewImage(const char* path);
