#include "helpers/tap_builder.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace tap_builder {

Bytes Block(std::uint8_t flag, const Bytes& payload) {
  const std::size_t length = payload.size() + 2;
  Bytes block{static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8), flag};
  block.insert(block.end(), payload.begin(), payload.end());
  std::uint8_t check = flag;
  for (const std::uint8_t byte : payload) check ^= byte;
  block.push_back(check);
  return block;
}

Bytes HeaderBlock(std::uint8_t type, const Bytes& name10, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2) {
  Bytes header{type};
  header.insert(header.end(), name10.begin(), name10.begin() + std::min<std::size_t>(name10.size(), 10));
  header.resize(11, ' ');
  for (const std::uint16_t value : {length, param1, param2}) {
    header.push_back(static_cast<std::uint8_t>(value));
    header.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  return Block(0x00, header);
}

Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length, std::uint16_t param1,
                  std::uint16_t param2) {
  return HeaderBlock(type, Name(name), length, param1, param2);
}

Bytes DataBlock(const Bytes& payload, std::uint8_t flag) { return Block(flag, payload); }

Bytes CodeFile(const std::string& name, const Bytes& payload) {
  const auto length = static_cast<std::uint16_t>(payload.size());
  return Concat({HeaderBlock(3, name, length, 32768, 32768), DataBlock(payload)});
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Pattern(std::size_t count, std::uint8_t seed) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

Bytes Name(const std::string& text) {
  Bytes name = AsBytes(text.substr(0, 10));
  name.resize(10, ' ');
  return name;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

namespace {

// A BASIC line: number (big-endian), length, tokens and the closing ENTER.
Bytes BasicLine(std::uint16_t number, const Bytes& tokens) {
  const auto length = static_cast<std::uint16_t>(tokens.size() + 1);
  Bytes line{static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number),
             static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8)};
  line.insert(line.end(), tokens.begin(), tokens.end());
  line.push_back(0x0D);
  return line;
}

Bytes Token(std::uint8_t token, const std::string& text) { return Concat({Bytes{token}, AsBytes(text)}); }

}  // namespace

Bytes SampleImage() {
  constexpr std::uint8_t Print = 0xF5, Border = 0xE7, Rem = 0xEA;
  const Bytes program = Concat({BasicLine(10, Token(Border, "1")), BasicLine(20, Token(Print, "\"Hello from Doved\"")),
                                BasicLine(30, Token(Rem, " a tape image as an archive"))});
  Bytes code(64);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(0x20 + i);
  const Bytes loose = Concat({AsBytes("headerless block"), Bytes{0, 1, 2, 3}});
  const auto programLength = static_cast<std::uint16_t>(program.size());
  return Concat({HeaderBlock(0, "hello", programLength, 10, programLength), DataBlock(program),
                 HeaderBlock(3, "charset", 64, 32768, 32768), DataBlock(code), DataBlock(loose)});
}

Bytes MixedImage() {
  return Concat({HeaderBlock(3, "alone", 5, 0, 0), HeaderBlock(0, "prog", 4, 1, 4),
                 DataBlock({0x0A, 0x01, 0x00, 0xF4}), Block(0xFF, {}), DataBlock(AsBytes("xyz")),
                 Block(0x00, Bytes(16, 'A'))});
}

Bytes ManyEntriesImage() {
  Bytes image;
  char name[16];
  for (unsigned i = 0; i < 100000; ++i) {
    std::snprintf(name, sizeof name, "file%04u", i % 5000);
    const Bytes file = CodeFile(name, Bytes(16, static_cast<std::uint8_t>(i & 0xFF)));
    image.insert(image.end(), file.begin(), file.end());
  }
  return image;
}

Bytes LargeImage() {
  std::mt19937 random(1982);
  Bytes image;
  char name[16];
  Bytes payload(65000);
  for (unsigned i = 0; i < 484; ++i) {
    for (std::uint8_t& byte : payload) byte = static_cast<std::uint8_t>(random());
    std::snprintf(name, sizeof name, "b%05u", i);
    const Bytes file = CodeFile(name, payload);
    image.insert(image.end(), file.begin(), file.end());
  }
  return image;
}

Bytes CrowdedImage() {
  static const char* const names[] = {"game", "GAME", "Game", "data1", "x"};
  Bytes image;
  for (int i = 0; i < 257; ++i) {
    const auto byte = static_cast<std::uint8_t>(i);
    const Bytes entry = i % 16 != 0 ? DataBlock({byte})
                                    : Concat({HeaderBlock(i % 32 == 0 ? 0 : 3, names[i / 16 % 5], 1, 10, 1),
                                              DataBlock({byte})});
    image.insert(image.end(), entry.begin(), entry.end());
  }
  return image;
}

Bytes RepeatedNamesImage() {
  Bytes image;
  std::uint32_t state = 12345;
  char name[16];
  for (std::uint32_t i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    const Bytes file = [&] {
      if (i % 10 == 9) return DataBlock({1, 2});
      const std::uint8_t type = (state >> 8) % 2 == 0 ? 0 : 3;
      std::snprintf(name, sizeof name, "%s%05u", (state >> 16) % 2 == 0 ? "game" : "GAME", (state >> 12) % 5000);
      return Concat({HeaderBlock(type, name, 2, 0, 0x8000), DataBlock({3, 4})});
    }();
    image.insert(image.end(), file.begin(), file.end());
  }
  return image;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace tap_builder
