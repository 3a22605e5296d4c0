// TZX images built byte by byte from TAP blocks, for tests, benchmarks and
// fuzz seeds. The block lengths are written here from the format, not taken
// from the plug-in's table, so a wrong row in either shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "helpers/tap_builder.h"

namespace tzx_builder {

using tap_builder::Bytes;

Bytes Header(std::uint8_t major = 1, std::uint8_t minor = 20);

// The three kinds of block that carry a TAP block (length word, flag,
// payload, check byte, as tap_builder makes it).
enum class DataKind : std::uint8_t { Standard = 0x10, Turbo = 0x11, PureData = 0x14 };
Bytes DataBlock(DataKind kind, const Bytes& tapBlock, std::uint16_t pause = 1000);

// A block of every other kind the format knows, and one of an ID it does not
// know yet, each with a body of its own.
std::vector<Bytes> OtherBlocks();

// `tap` as tapeconv converts it: the header, then each TAP block as a
// standard speed data block with a 1000 ms pause.
Bytes FromTap(const Bytes& tap);

// An image built block by block, remembering where each block lies.
struct Image {
  Bytes bytes = Header();
  Bytes tap;  // the TAP blocks of the data blocks, as a TAP image of them
  std::vector<std::size_t> blockEnds;  // where each block ends, the header's end first
  // The stored range of each data block: [first, second).
  std::vector<std::pair<std::size_t, std::size_t>> dataBlocks;
  std::vector<std::size_t> tapEnds;  // where each data block's TAP block ends in `tap`

  Image() { blockEnds.push_back(bytes.size()); }
  void Add(const Bytes& block);
  void AddData(DataKind kind, const Bytes& tapBlock);
};

// Every kind of block, the data blocks among them: a program whose header
// and data have other blocks between them, a code file in turbo blocks, a
// headerless pure data block, a header alone, and every other kind of block
// before, between and after them.
Image EveryKindImage();

}  // namespace tzx_builder
