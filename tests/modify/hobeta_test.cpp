#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "helpers/scanned_image.h"
#include "helpers/tap_builder.h"
#include "modify/hobeta_file.h"

namespace {

using tap_builder::Bytes;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Pattern;
using tap_test::ScannedImage;

Settings WithHobeta(bool extract, bool smartLength) {
  Settings settings{};
  settings.ExtractHobeta = extract;
  settings.SmartLenDetect = smartLength;
  return settings;
}

Bytes HeaderBytes(const TapeHeader& header) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
  return Bytes(bytes, bytes + sizeof header);
}

Bytes ExpectedTapeHeader(std::uint8_t type, const char name[10], std::uint16_t length, std::uint16_t param1,
                         std::uint16_t param2) {
  TapeHeader header{type, {}, length, param1, param2};
  std::memcpy(header.name, name, 10);
  return HeaderBytes(header);
}

// A hobeta file around `data` with the given fields and a correct checksum.
Bytes MakeHobetaFile(char type, std::uint16_t start, std::uint16_t length, const Bytes& data) {
  HobetaHeader header{};
  std::memcpy(header.name, "file    ", 8);
  header.type = static_cast<std::uint8_t>(type);
  header.start = start;
  header.length = length;
  header.sectors = static_cast<std::uint8_t>(data.size() / 256);
  header.checksum = HobetaChecksum(reinterpret_cast<const std::uint8_t*>(&header));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
  return Concat({Bytes(bytes, bytes + sizeof header), data});
}

HobetaTapeFile Convert(const Bytes& file, bool smartLength) {
  EXPECT_EQ(IsHobetaFile(file.data(), file.size()), HobetaCheck::Hobeta);
  return HeaderFromHobeta(file.data(), file.size(), WithHobeta(false, smartLength));
}

TEST(HobetaTest, ChecksumIsTheByteSumTimes257Plus105) {
  std::uint8_t header[17] = {};
  EXPECT_EQ(HobetaChecksum(header), 105);
  std::memset(header, 0xFF, sizeof header);
  EXPECT_EQ(HobetaChecksum(header), 0x005A);  // (257 * 3825 + 105) mod 65536; bytes 15 and 16 not summed
}

TEST(HobetaTest, ScreenCodeRoundTrip) {
  ScannedImage image(Concat({HeaderBlock(CodeType, "SCREEN", 6912, 16384, 32768), DataBlock(Pattern(6912))}),
                     WithHobeta(true, true));
  ASSERT_TRUE(image.Scan().IsOk());
  const TapeEntry& entry = image.Entry(0);
  const Bytes expected{0x53, 0x43, 0x52, 0x45, 0x45, 0x4E, 0x20, 0x20, 0x43,
                       0x00, 0x40, 0x00, 0x1B, 0x00, 0x1B, 0x22, 0xBC};
  EXPECT_EQ(image.HobetaBytes(0), expected);
  EXPECT_EQ(entry.hobetaPadding, 0u);
  EXPECT_EQ(entry.extractedSize, 6929u);
  EXPECT_EQ(entry.hobetaFits, 1);

  const Bytes file = image.ExtractedBytes(0);
  ASSERT_EQ(file.size(), 6929u);
  const HobetaTapeFile back = Convert(file, true);
  EXPECT_EQ(HeaderBytes(back.header), ExpectedTapeHeader(CodeType, "SCREEN    ", 6912, 16384, 32768));
  EXPECT_EQ(back.dataLength, 6912u);
}

TEST(HobetaTest, ProgramRoundTripKeepsLengthsAndAutostart) {
  ScannedImage image(Concat({HeaderBlock(ProgramType, "prog", 1000, 10, 900), DataBlock(Pattern(1000))}),
                     WithHobeta(true, false));
  ASSERT_TRUE(image.Scan().IsOk());
  const TapeEntry& entry = image.Entry(0);
  EXPECT_EQ(Bytes(entry.trailer, entry.trailer + entry.trailerLength), (Bytes{0x80, 0xAA, 10, 0}));
  HobetaHeader header;
  std::memcpy(&header, image.HobetaBytes(0).data(), 17);
  EXPECT_EQ(header.type, 'B');
  EXPECT_EQ(+header.start, 1000);
  EXPECT_EQ(+header.length, 900);
  EXPECT_EQ(header.zero, 0);
  EXPECT_EQ(header.sectors, 4);
  EXPECT_EQ(entry.hobetaPadding, 20u);
  EXPECT_EQ(entry.extractedSize, 17u + 1024u);

  const Bytes file = image.ExtractedBytes(0);
  const HobetaTapeFile smart = Convert(file, true);
  EXPECT_EQ(HeaderBytes(smart.header), ExpectedTapeHeader(ProgramType, "prog      ", 1000, 10, 900));
  EXPECT_EQ(smart.dataLength, 1000u);
  const HobetaTapeFile whole = Convert(file, false);
  EXPECT_EQ(HeaderBytes(whole.header), HeaderBytes(smart.header));
  EXPECT_EQ(whole.dataLength, 1024u);
}

TEST(HobetaTest, ProgramWithoutAutostartComesBackWithout) {
  ScannedImage image(Concat({HeaderBlock(ProgramType, "noauto", 20, 32768, 20), DataBlock(Pattern(20))}),
                     WithHobeta(true, true));
  ASSERT_TRUE(image.Scan().IsOk());
  EXPECT_EQ(Bytes(image.Entry(0).trailer, image.Entry(0).trailer + 4), (Bytes{0x80, 0xAA, 0, 0}));
  const HobetaTapeFile back = Convert(image.ExtractedBytes(0), true);
  EXPECT_EQ(+back.header.param1, 32768);
  EXPECT_EQ(back.dataLength, 20u);
}

TEST(HobetaTest, FitsUpTo255Sectors) {
  for (const std::uint16_t payload : {65280, 65281}) {
    ScannedImage image(DataBlock(Pattern(payload)), WithHobeta(true, false));
    ASSERT_TRUE(image.Scan().IsOk());
    EXPECT_EQ(image.Entry(0).hobetaFits, payload == 65280 ? 1 : 0);
  }
}

TEST(HobetaTest, OtherTapeTypesAreCarriedThrough) {
  ScannedImage image(Concat({HeaderBlock(1, "numbers", 30, 0x1234, 0x5678), DataBlock(Pattern(30)),
                             HeaderBlock('B', "B-typed", 3, 7, 8), DataBlock(Pattern(3))}),
                     WithHobeta(false, false));
  ASSERT_TRUE(image.Scan().IsOk());
  HobetaHeader numbers;
  std::memcpy(&numbers, image.HobetaBytes(0).data(), 17);
  EXPECT_EQ(std::string(numbers.name, 8), "numbers ");
  EXPECT_EQ(numbers.type, 1);
  EXPECT_EQ(+numbers.start, 0x1234);
  EXPECT_EQ(+numbers.length, 30);
  EXPECT_EQ(numbers.sectors, 1);
  // A tape type that happens to be 'B' is not a program: no trailer, start from param1.
  HobetaHeader typed;
  std::memcpy(&typed, image.HobetaBytes(1).data(), 17);
  EXPECT_EQ(typed.type, 'B');
  EXPECT_EQ(+typed.start, 7);
  EXPECT_EQ(image.Entry(1).trailerLength, 0u);
}

TEST(HobetaTest, HeaderlessNamesUseAtMostFourDigits) {
  struct Case {
    std::uint32_t number, digits;
    const char* name;
  };
  const Case cases[] = {{3, 2, "data03  "}, {7, 4, "data0007"}, {123456, 6, "data3456"}, {5, 1, "data5   "}};
  const std::uint8_t block[] = {0xFF, 1, 2, 3, 0};
  for (const Case& c : cases) {
    TapeEntry entry{};
    entry.dataBlock = block;
    entry.dataBlockLength = sizeof block;
    entry.headerlessNumber = c.number;
    const HobetaHeader header = HobetaHeaderOf(entry, c.digits);
    EXPECT_EQ(std::string(header.name, 8), c.name);
    EXPECT_EQ(header.type, 'C');
    EXPECT_EQ(+header.start, 0);
    EXPECT_EQ(+header.length, 3);
    EXPECT_EQ(+header.checksum, HobetaChecksum(reinterpret_cast<const std::uint8_t*>(&header)));
  }
  // Listed, such an entry extracts to its payload alone.
  tap_test::ScannedImage scanned(DataBlock({1, 2, 3}), Settings{});
  ASSERT_TRUE(scanned.Scan().IsOk());
  EXPECT_EQ(scanned.Entry(0).extractedSize, 3u);
}

TEST(HobetaTest, RecognitionNeedsSizeChecksumAndSizeField) {
  const Bytes valid = MakeHobetaFile('C', 0, 256, Pattern(256));
  EXPECT_EQ(IsHobetaFile(valid.data(), valid.size()), HobetaCheck::Hobeta);

  for (const std::size_t size : {0u, 16u, 18u, 272u, 274u}) {
    Bytes resized = valid;
    resized.resize(size);
    EXPECT_EQ(IsHobetaFile(resized.data(), resized.size()), HobetaCheck::NotHobeta) << size;
  }
  Bytes badChecksum = valid;
  badChecksum[15] ^= 1;
  EXPECT_EQ(IsHobetaFile(badChecksum.data(), badChecksum.size()), HobetaCheck::NotHobeta);

  Bytes twoSectors = MakeHobetaFile('C', 0, 256, Pattern(512));
  twoSectors.resize(17 + 256);  // size right in itself, but not what the header says
  EXPECT_EQ(IsHobetaFile(twoSectors.data(), twoSectors.size()), HobetaCheck::BadSize);

  // Bytes 13 and 14 are compared as one u16: a non-zero byte 13 never matches.
  Bytes oddZero = valid;
  oddZero[13] = 1;
  const std::uint16_t checksum = HobetaChecksum(oddZero.data());
  oddZero[15] = static_cast<std::uint8_t>(checksum);
  oddZero[16] = static_cast<std::uint8_t>(checksum >> 8);
  EXPECT_EQ(IsHobetaFile(oddZero.data(), oddZero.size()), HobetaCheck::BadSize);

  const Bytes empty = MakeHobetaFile('C', 0, 0, {});
  EXPECT_EQ(IsHobetaFile(empty.data(), empty.size()), HobetaCheck::Hobeta);
  EXPECT_EQ(Convert(empty, true).dataLength, 0u);
}

TEST(HobetaTest, CodeLengthIsUsedOnlyWhenItNeedsAllTheSectors) {
  EXPECT_EQ(Convert(MakeHobetaFile('C', 0, 257, Pattern(512)), true).dataLength, 257u);
  EXPECT_EQ(Convert(MakeHobetaFile('C', 0, 257, Pattern(512)), false).dataLength, 512u);
  EXPECT_EQ(Convert(MakeHobetaFile('C', 0, 256, Pattern(512)), true).dataLength, 512u);  // one sector would do
  EXPECT_EQ(Convert(MakeHobetaFile('C', 0, 600, Pattern(512)), true).dataLength, 512u);  // more than there is

  const HobetaTapeFile other = Convert(MakeHobetaFile('#', 0x4000, 10, Pattern(256)), true);
  EXPECT_EQ(HeaderBytes(other.header), ExpectedTapeHeader('#', "file      ", 10, 0x4000, 0x8000));
  EXPECT_EQ(other.dataLength, 10u);
}

TEST(HobetaTest, ProgramTrailerIsLookedForBehindTheProgramAndVariables) {
  auto withTrailerAt = [](std::size_t offset, std::size_t dataSize, std::uint16_t line) {
    Bytes data = Pattern(dataSize);
    const std::uint8_t trailer[] = {0x80, 0xAA, static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(line >> 8)};
    for (std::size_t i = 0; i < 4 && offset + i < dataSize; ++i) data[offset + i] = trailer[i];
    return data;
  };
  struct Case {
    std::uint16_t start, length;
    std::size_t dataSize;
    std::uint16_t line, param1;
    std::uint32_t dataLength;
  };
  const Case cases[] = {
      {252, 200, 256, 7, 7, 252},   // the trailer just fits the sector
      {253, 200, 512, 7, 7, 253},   // spills into the second sector
      {100, 100, 512, 7, 7, 512},   // read, but a whole sector follows: the line counts, the length does not
      {100, 150, 256, 7, 32768, 256},  // variables shorter than the program: not looked for
      {100, 50, 256, 0, 32768, 100},  // line 0 is no autostart, yet the trailer was found
      {254, 200, 256, 7, 32768, 256},  // its mark is there, its line would lie past the data area
  };
  for (const Case& c : cases) {
    const Bytes file = MakeHobetaFile('B', c.start, c.length, withTrailerAt(c.start, c.dataSize, c.line));
    const HobetaTapeFile back = Convert(file, true);
    EXPECT_EQ(back.header.type, ProgramType);
    EXPECT_EQ(+back.header.length, c.start);
    EXPECT_EQ(+back.header.param2, c.length);
    EXPECT_EQ(+back.header.param1, c.param1) << c.start << "/" << c.length;
    EXPECT_EQ(back.dataLength, c.dataLength) << c.start << "/" << c.length;
  }
}

}  // namespace
