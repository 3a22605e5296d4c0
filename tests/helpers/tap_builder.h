// TAP images built byte by byte, for tests, benchmarks, fuzz seeds and the
// sample image. The check bytes are computed here, not by the plug-in, so a
// wrong checksum in either shows.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tap_builder {

using Bytes = std::vector<std::uint8_t>;

// A block: length word, flag, payload and a correct check byte.
Bytes Block(std::uint8_t flag, const Bytes& payload);
// A header block; `name` is padded with spaces, or cut, to 10 bytes.
Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2);
// A header block whose 10 name bytes are given whole: any byte, no padding.
Bytes HeaderBlock(std::uint8_t type, const Bytes& name10, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2);
Bytes DataBlock(const Bytes& payload, std::uint8_t flag = 0xFF);
// A bytes file loading at 32768, as its two blocks.
Bytes CodeFile(const std::string& name, const Bytes& payload);
Bytes Concat(std::initializer_list<Bytes> parts);
// `count` bytes that differ from their neighbours.
Bytes Pattern(std::size_t count, std::uint8_t seed = 1);
// `text` padded with spaces to 10 bytes.
Bytes Name(const std::string& text);
Bytes AsBytes(const std::string& text);

// The image in samples/: a BASIC program with autostart, a code block and a
// headerless block.
Bytes SampleImage();
// One of each odd case the scan meets: a header alone, a program with its
// data, an empty data block, a headerless block, and a block with flag
// 0 that is not a header.
Bytes MixedImage();
// 257 entries in under 2 KB, one more than numbering allows: mostly
// headerless blocks, with programs and bytes files whose names repeat in
// varying letter case among them.
Bytes CrowdedImage();
// 100000 code files of 16 bytes under 5000 distinct names.
Bytes ManyEntriesImage();
// 484 code files of 65000 random bytes, named b00000 to b00483: 31,472,100 bytes.
Bytes LargeImage();
// 100000 entries, every tenth headerless, the others programs and bytes whose
// names repeat in varying letter case.
Bytes RepeatedNamesImage();

bool WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace tap_builder
