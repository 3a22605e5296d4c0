// A hobeta file being packed: whether it is one, and the tape file it
// becomes.
#pragma once

#include <cstdint>

#include "settings/settings.h"
#include "tape/hobeta_header.h"

enum class HobetaCheck { NotHobeta, Hobeta, BadSize };

// Recognises a file being packed; safe for any bytes and any size.
HobetaCheck IsHobetaFile(const std::uint8_t* contents, std::uint64_t size);

struct HobetaTapeFile {
  TapeHeader header;
  std::uint32_t dataLength;  // bytes taken from the data area, which starts at HobetaHeaderSize
};

// The tape file that a file accepted by IsHobetaFile packs into.
HobetaTapeFile HeaderFromHobeta(const std::uint8_t* contents, std::uint64_t size, const Settings& settings);
