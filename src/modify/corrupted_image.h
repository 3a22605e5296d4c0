// Why an image is neither appended to nor rewritten: its blocks do not chain
// up to its end, or a data block is cut short.
#pragma once

#include "base/status.h"

inline constexpr Status CorruptedImage = ShownFailure("TAP image is corrupted and cannot be modified.", E_BAD_ARCHIVE);
