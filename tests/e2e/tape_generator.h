// Seeded random TAP images of standard tape files: every data block with a
// valid checksum and every header consistent with its data. Which kinds of
// tape file appear is chosen per naming mode, since each mode carries a
// different part of a header through the file system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tape_generator {

using Bytes = std::vector<std::uint8_t>;

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

// The blocks of one tape file, for hand-made images.
Bytes HeaderBlock(std::uint8_t type, const Bytes& name10, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2);
Bytes DataBlock(const Bytes& payload, std::uint8_t flag = 0xFF);
Bytes Name(const std::string& text);  // padded with spaces to 10 bytes

}  // namespace tape_generator
