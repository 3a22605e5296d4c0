#include "helpers/tzx_builder.h"

namespace tzx_builder {

using tap_builder::Concat;

namespace {

// `value` in `width` little-endian bytes.
Bytes Le(std::uint32_t value, int width) {
  Bytes bytes;
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return bytes;
}

// A TAP block without its length word.
Bytes Body(const Bytes& tapBlock) { return Bytes(tapBlock.begin() + 2, tapBlock.end()); }

}  // namespace

Bytes Header(std::uint8_t major, std::uint8_t minor) {
  return Concat({tap_builder::AsBytes("ZXTape!"), Bytes{0x1A, major, minor}});
}

Bytes DataBlock(DataKind kind, const Bytes& tapBlock, std::uint16_t pause) {
  const Bytes data = Body(tapBlock);
  const auto length = static_cast<std::uint32_t>(data.size());
  switch (kind) {
    case DataKind::Standard:
      return Concat({Bytes{0x10}, Le(pause, 2), Le(length, 2), data});
    case DataKind::Turbo:  // pilot, sync 1 and 2, zero and one pulses, pilot length, used bits
      return Concat({Bytes{0x11}, Le(2168, 2), Le(667, 2), Le(735, 2), Le(855, 2), Le(1710, 2), Le(3223, 2),
                     Bytes{8}, Le(pause, 2), Le(length, 3), data});
    case DataKind::PureData:  // zero and one pulses, used bits
      return Concat({Bytes{0x14}, Le(855, 2), Le(1710, 2), Bytes{8}, Le(pause, 2), Le(length, 3), data});
  }
  return {};
}

std::vector<Bytes> OtherBlocks() {
  const Bytes text = tap_builder::AsBytes("Doved test");
  return {
      Concat({Bytes{0x12}, Le(2168, 2), Le(3223, 2)}),                                    // pure tone
      Concat({Bytes{0x13, 3}, Le(667, 2), Le(735, 2), Le(900, 2)}),                      // pulse sequence
      Concat({Bytes{0x15}, Le(79, 2), Le(0, 2), Bytes{8}, Le(4, 3), Bytes{1, 2, 3, 4}}),  // direct recording
      // CSW recording: pause, sample rate, RLE, no pulses
      Concat({Bytes{0x18}, Le(10, 4), Le(0, 2), Le(44100, 3), Bytes{1}, Le(0, 4)}),
      // generalised data: pause, no pilot or sync symbols, no data symbols
      Concat({Bytes{0x19}, Le(14, 4), Le(0, 2), Le(0, 4), Bytes{0, 2}, Le(0, 4), Bytes{0, 2}}),
      Concat({Bytes{0x20}, Le(500, 2)}),                                                  // pause
      Concat({Bytes{0x21, 5}, tap_builder::AsBytes("group")}),                            // group start
      Bytes{0x22},                                                                        // group end
      Concat({Bytes{0x23}, Le(1, 2)}),                                                    // jump
      Concat({Bytes{0x24}, Le(2, 2)}),                                                    // loop start
      Bytes{0x25},                                                                        // loop end
      Concat({Bytes{0x26}, Le(2, 2), Le(1, 2), Le(2, 2)}),                                // call sequence
      Bytes{0x27},                                                                        // return
      Concat({Bytes{0x28}, Le(6, 2), Bytes{1}, Le(1, 2), Bytes{2, 'a', 'b'}}),            // select block
      Concat({Bytes{0x2A}, Le(0, 4)}),                                                    // stop if 48K
      Concat({Bytes{0x2B}, Le(1, 4), Bytes{1}}),                                          // signal level
      Concat({Bytes{0x30, static_cast<std::uint8_t>(text.size())}, text}),                // text
      Concat({Bytes{0x31, 5, static_cast<std::uint8_t>(text.size())}, text}),             // message
      Concat({Bytes{0x32}, Le(text.size() + 3, 2), Bytes{1, 0, static_cast<std::uint8_t>(text.size())}, text}),
      Concat({Bytes{0x33, 2}, Bytes{0, 1, 1}, Bytes{0, 3, 0}}),                           // hardware type
      Concat({Bytes{0x35}, tap_builder::AsBytes("POKEs           "), Le(3, 4), Bytes{1, 2, 3}}),  // custom info
      Concat({Bytes{0x5A}, tap_builder::AsBytes("XTape!"), Bytes{0x1A, 1, 20}}),          // glue
      Concat({Bytes{0x4B}, Le(5, 4), Bytes(5, 0x4B)}),                                    // an ID not known yet
  };
}

Bytes FromTap(const Bytes& tap) {
  Image image;
  for (std::size_t at = 0; at + 2 <= tap.size();) {
    const std::size_t end = std::min(tap.size(), at + 2 + (tap[at] | tap[at + 1] << 8));
    image.AddData(DataKind::Standard, Bytes(tap.begin() + at, tap.begin() + end));
    at = end;
  }
  return image.bytes;
}

void Image::Add(const Bytes& block) {
  bytes.insert(bytes.end(), block.begin(), block.end());
  blockEnds.push_back(bytes.size());
}

void Image::AddData(DataKind kind, const Bytes& tapBlock) {
  const std::size_t start = bytes.size();
  Add(DataBlock(kind, tapBlock));
  dataBlocks.emplace_back(start, bytes.size());
  tap.insert(tap.end(), tapBlock.begin(), tapBlock.end());
  tapEnds.push_back(tap.size());
}

Image EveryKindImage() {
  using tap_builder::HeaderBlock;
  const std::vector<Bytes> others = OtherBlocks();
  Image image;
  std::size_t next = 0;
  const auto addOthers = [&](std::size_t count) {
    for (; count > 0 && next < others.size(); --count) image.Add(others[next++]);
  };
  addOthers(3);
  image.AddData(DataKind::Standard, HeaderBlock(0, "loader", 4, 10, 4));
  addOthers(4);
  image.AddData(DataKind::Standard, tap_builder::DataBlock({0x00, 0x0A, 0x00, 0x0D}));
  addOthers(3);
  image.AddData(DataKind::Turbo, HeaderBlock(3, "turbo", 300, 32768, 32768));
  image.AddData(DataKind::Turbo, tap_builder::DataBlock(tap_builder::Pattern(300)));
  addOthers(4);
  image.AddData(DataKind::PureData, tap_builder::DataBlock(tap_builder::Pattern(40, 5), 0x5A));
  addOthers(3);
  image.AddData(DataKind::Standard, HeaderBlock(3, "alone", 9, 0, 32768));
  addOthers(others.size());
  return image;
}

}  // namespace tzx_builder
