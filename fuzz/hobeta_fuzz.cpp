// Any bytes as a file being packed, as the same bytes made into a valid
// hobeta file, and as a tape file that is turned into a hobeta file and back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "helpers/tap_builder.h"
#include "modify/hobeta_file.h"
#include "tape/autostart_trailer.h"
#include "tape/extracted_form.h"
#include "tape/tape_image.h"

namespace {

volatile std::uint8_t sink;

HobetaTapeFile ConvertChecked(const std::uint8_t* file, std::size_t size, bool smartLength) {
  Settings settings{};
  settings.SmartLenDetect = smartLength;
  const HobetaTapeFile result = HeaderFromHobeta(file, size, settings);
  FUZZ_CHECK(result.dataLength <= size - HobetaHeaderSize);
  if (!smartLength) FUZZ_CHECK(result.dataLength == size - HobetaHeaderSize);
  // What packing copies.
  for (std::uint32_t i = 0; i < result.dataLength; ++i) sink = sink ^ file[HobetaHeaderSize + i];
  FUZZ_CHECK(std::memcmp(result.header.name, file, 8) == 0 && std::memcmp(result.header.name + 8, "  ", 2) == 0);
  return result;
}

void Recognise(const std::uint8_t* file, std::size_t size) {
  if (IsHobetaFile(file, size) != HobetaCheck::Hobeta) return;
  ConvertChecked(file, size, true);
  ConvertChecked(file, size, false);
}

// The input's header with its sector count and checksum set right.
void RecogniseRepaired(const std::uint8_t* data, std::size_t size) {
  if (size < HobetaHeaderSize) return;
  const std::size_t sectors = std::min<std::size_t>((size - HobetaHeaderSize) / HobetaSectorSize, 255);
  std::vector<std::uint8_t> file(data, data + HobetaHeaderSize + sectors * HobetaSectorSize);
  file[13] = 0;
  file[14] = static_cast<std::uint8_t>(sectors);
  const std::uint16_t checksum = HobetaChecksum(file.data());
  file[15] = static_cast<std::uint8_t>(checksum);
  file[16] = static_cast<std::uint8_t>(checksum >> 8);
  FUZZ_CHECK(IsHobetaFile(file.data(), file.size()) == HobetaCheck::Hobeta);
  Recognise(file.data(), file.size());
}

// The input as a tape header (17 bytes) and a payload; extracted as hobeta and packed back.
void RoundTrip(const std::uint8_t* data, std::size_t size) {
  if (size < 17 + 1 || size - 17 > 0xFFFF - 2) return;
  const tap_builder::Bytes image =
      tap_builder::Concat({tap_builder::Block(HeaderFlag, tap_builder::Bytes(data, data + 17)),
                           tap_builder::DataBlock(tap_builder::Bytes(data + 17, data + size))});
  Settings settings{};
  settings.ExtractHobeta = true;
  TapeImage scanned;
  FUZZ_CHECK(ScanImage(scanned, image.data(), image.size(), settings, 0).IsOk() && scanned.entries.count == 1);
  const TapeEntry& entry = scanned.entries.items[0];
  if (!entry.hobetaFits) return;

  std::vector<std::uint8_t> file;
  for (const ExtractedPiece& piece : ExtractedForm(entry, scanned.headerlessDigits)) {
    file.insert(file.end(), piece.bytes, piece.bytes + piece.length);
  }
  // The payload follows the hobeta header, and the whole is a hobeta file.
  const std::uint32_t payload = entry.PayloadLength();
  FUZZ_CHECK(file.size() >= HobetaHeaderSize + payload);
  FUZZ_CHECK(std::memcmp(file.data() + HobetaHeaderSize, data + 17, payload) == 0);
  FUZZ_CHECK(IsHobetaFile(file.data(), file.size()) == HobetaCheck::Hobeta);

  const TapeHeader& tape = *entry.Header();
  const HobetaTapeFile back = ConvertChecked(file.data(), file.size(), true);
  FUZZ_CHECK(std::memcmp(back.header.name, tape.name, 8) == 0);
  if (tape.type == ProgramType) {
    FUZZ_CHECK(back.header.type == ProgramType && back.header.length == tape.length && back.header.param2 == tape.param2);
    if (tape.length == payload && tape.param2 <= tape.length) {
      const std::uint16_t line = AutostartLine(tape.param1);
      FUZZ_CHECK(back.header.param1 == (line != 0 ? line : NoParamValue));
      FUZZ_CHECK(back.dataLength == payload);
    }
  } else if (tape.type == CodeType) {
    FUZZ_CHECK(back.header.type == CodeType && back.header.length == tape.length && back.header.param1 == tape.param1);
    if (tape.length == payload) FUZZ_CHECK(back.dataLength == payload);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Recognise(data, size);
  RecogniseRepaired(data, size);
  RoundTrip(data, size);
  return 0;
}
