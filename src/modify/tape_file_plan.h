// What one source file becomes on tape: its header (or none), the flag of
// its data block and which of its bytes are the data. Worked out from the
// file's name, its creation time and its contents.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "settings/settings.h"
#include "tape/tape_entry.h"

struct TapeFilePlan {
  bool hasHeader;
  TapeHeader header;
  std::uint8_t dataFlag;
  std::uint32_t dataOffset;
  std::uint32_t dataLength;
};

inline constexpr Status BadHobetaSize = ShownFailure("Bad hobeta file: invalid size in hobeta header", E_BAD_DATA);

// `entryName` is the last path component of the file; `contents` its `size`
// bytes; `creationTime` its creation time as a file time. Fails only for a
// hobeta file whose size field disagrees with its size.
Status PlanTapeFile(const char* entryName, const std::uint8_t* contents, std::uint32_t size,
                    std::uint64_t creationTime, const Settings& settings, TapeFilePlan& plan);
