#include "helpers/random_tape.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>

namespace random_tape {
namespace {

using tap_builder::DataBlock;
using tap_builder::HeaderBlock;

// Characters of tape names, the odd ones included: each must come back
// from a file name. "!" is left out: "12!   " at the start of a name reads
// as a number prefix with the default separator.
const std::string PlainNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";
const std::string OddNameChars = ".#/\\*?:<>|\"[]$-_()+,;=@^`{}~'%&";

class Generator {
 public:
  Generator(std::uint32_t seed, const Options& options) : random_(seed), options_(options) {}

  std::vector<TapeFile> Files() {
    std::vector<TapeFile> files;
    const unsigned count = Uniform(1, options_.maxFiles);
    for (unsigned i = 0; i < count; ++i) {
      // Now and then a file with the name of an earlier one, or in other letter case.
      if (!names_.empty() && Chance(15)) {
        Bytes name = names_[Uniform(0, static_cast<unsigned>(names_.size() - 1))];
        if (Chance(50)) {
          for (std::uint8_t& byte : name) byte = static_cast<std::uint8_t>(std::toupper(byte));
        }
        files.push_back(NewFile(name));
      } else {
        files.push_back(NewFile(RandomName()));
      }
    }
    return files;
  }

 private:
  unsigned Uniform(unsigned low, unsigned high) { return std::uniform_int_distribution<unsigned>(low, high)(random_); }
  bool Chance(unsigned percent) { return Uniform(1, 100) <= percent; }

  Bytes RandomName() {
    const unsigned length = Uniform(0, static_cast<unsigned>(options_.maxNameLength));
    Bytes name;
    for (unsigned i = 0; i < length; ++i) {
      const unsigned pick = Uniform(1, 100);
      if (pick <= 70) {
        name.push_back(static_cast<std::uint8_t>(PlainNameChars[Uniform(0, PlainNameChars.size() - 1)]));
      } else if (pick <= 85) {
        name.push_back(static_cast<std::uint8_t>(OddNameChars[Uniform(0, OddNameChars.size() - 1)]));
      } else if (pick <= 90) {
        name.push_back(static_cast<std::uint8_t>(Uniform(0x00, 0x1F)));  // control bytes, NUL included
      } else {
        name.push_back(static_cast<std::uint8_t>(Uniform(0x7F, 0xFF)));  // tokens and graphics
      }
    }
    name.resize(10, ' ');
    names_.push_back(name);
    return name;
  }

  Bytes Payload(unsigned size) {
    Bytes payload(size);
    for (std::uint8_t& byte : payload) byte = static_cast<std::uint8_t>(Uniform(0, 255));
    return payload;
  }

  unsigned PayloadSize() {
    const unsigned pick = Uniform(1, 100);
    if (pick <= 5) return 0;
    if (pick <= 10) return 6912;
    if (pick <= 15) return Uniform(20000, 40000);
    return Uniform(1, 3000);
  }

  std::uint8_t DataFlag() { return options_.customFlags && Chance(25) ? static_cast<std::uint8_t>(Uniform(1, 0xFE)) : 0xFF; }

  TapeFile NewFile(const Bytes& name) {
    const unsigned pick = Uniform(1, 100);
    if (options_.headerless && pick <= 15) {
      const Bytes payload = Payload(PayloadSize());
      // A headerless name carries no flag: these keep the standard one.
      return {"headerless " + std::to_string(payload.size()), DataBlock(payload)};
    }
    if (pick <= 50) return Program(name);
    if (pick <= 80) return WithHeader("code", 3, name, Uniform(0, 0xFFFF));
    if (pick <= 90) return WithHeader("number array", 1, name, static_cast<std::uint16_t>(Uniform(0x81, 0x9A) << 8));
    return WithHeader("character array", 2, name, static_cast<std::uint16_t>(Uniform(0xC1, 0xDA) << 8));
  }

  TapeFile Program(const Bytes& name) {
    const Bytes payload = Payload(std::min(PayloadSize(), 40000u));
    const auto length = static_cast<std::uint16_t>(payload.size());
    // The program part is the whole, or less when variables follow it.
    const auto programPart = static_cast<std::uint16_t>(Chance(50) ? length : Uniform(0, length));
    std::uint16_t autostart = Chance(60) ? static_cast<std::uint16_t>(Uniform(1, 9999)) : 0x8000;
    if (options_.anyParameters && Chance(30)) autostart = static_cast<std::uint16_t>(Uniform(0, 0xFFFF));
    return {Describe("program", name, length, autostart, programPart),
            tap_builder::Concat({HeaderBlock(0, name, length, autostart, programPart), DataBlock(payload, DataFlag())})};
  }

  TapeFile WithHeader(const char* kind, std::uint8_t type, const Bytes& name, std::uint16_t param1) {
    const Bytes payload = Payload(PayloadSize());
    const auto length = static_cast<std::uint16_t>(payload.size());
    const std::uint16_t param2 = options_.anyParameters && Chance(30) ? static_cast<std::uint16_t>(Uniform(0, 0xFFFF)) : 0x8000;
    return {Describe(kind, name, length, param1, param2),
            tap_builder::Concat({HeaderBlock(type, name, length, param1, param2), DataBlock(payload, DataFlag())})};
  }

  static std::string Describe(const char* kind, const Bytes& name, unsigned length, unsigned param1, unsigned param2) {
    std::string text = std::string(kind) + " '";
    for (const std::uint8_t byte : name) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, byte >= 0x20 && byte < 0x7F ? "%c" : "\\x%02X", byte);
      text += escaped;
    }
    return text + "' " + std::to_string(length) + "/" + std::to_string(param1) + "/" + std::to_string(param2);
  }

  std::mt19937 random_;
  Options options_;
  std::vector<Bytes> names_;
};

}  // namespace

std::vector<TapeFile> Generate(std::uint32_t seed, const Options& options) { return Generator(seed, options).Files(); }

Bytes Image(const std::vector<TapeFile>& files) {
  Bytes image;
  for (const TapeFile& file : files) image.insert(image.end(), file.blocks.begin(), file.blocks.end());
  return image;
}

std::string Describe(const std::vector<TapeFile>& files) {
  std::string text;
  for (const TapeFile& file : files) text += "  " + file.kind + "\n";
  return text;
}

}  // namespace random_tape
