// Seeded random TAP images of standard tape files: every data block with a
// valid checksum and every header consistent with its data. Which kinds of
// tape file appear is chosen per naming mode, since each mode carries a
// different part of a header through the file system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "helpers/tap_builder.h"

namespace random_tape {

using tap_builder::Bytes;

struct Options {
  bool headerless = true;      // data blocks without a header
  std::size_t maxNameLength = 10;
  bool anyParameters = false;  // program param1 beyond autostart lines, param2 of other types not 32768
  bool customFlags = false;    // data blocks after a header whose flag is not 0xFF
  unsigned maxFiles = 24;
};

// One tape file of the image, for messages.
struct TapeFile {
  std::string kind;
  Bytes blocks;
};

std::vector<TapeFile> Generate(std::uint32_t seed, const Options& options);
Bytes Image(const std::vector<TapeFile>& files);
// "program 'name' 100/10/90, 102 bytes" and the like, one line per file.
std::string Describe(const std::vector<TapeFile>& files);

}  // namespace random_tape
