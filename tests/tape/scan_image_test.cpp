#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "helpers/fault_os.h"
#include "helpers/scanned_image.h"
#include "helpers/tap_builder.h"
#include "support/heap.h"

namespace {

using tap_builder::Bytes;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Pattern;
using tap_test::ScannedImage;

class ScanImageTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
};

Settings HobetaExtraction() {
  Settings settings{};
  settings.ExtractHobeta = true;
  return settings;
}

Settings RarevMode() {
  Settings settings{};
  settings.RarevCompatible = true;
  settings.ExtractHobeta = true;  // must have no effect in this mode
  return settings;
}

std::string HobetaName(const ScannedImage& image, std::uint32_t index) {
  const Bytes header = image.HobetaBytes(index);
  return std::string(header.begin(), header.begin() + 8);
}

Bytes Trailer(const TapeEntry& entry) { return Bytes(entry.trailer, entry.trailer + entry.trailerLength); }

Bytes WithoutLastByte(Bytes bytes) {
  bytes.pop_back();
  return bytes;
}

void ExpectSilentFailure(const Status& status, int code) {
  EXPECT_TRUE(status.IsFailed());
  EXPECT_EQ(status.code, code);
  EXPECT_EQ(status.flags & Status::Show, 0);
  EXPECT_EQ(status.message, nullptr);
}

TEST_F(ScanImageTest, EmptyImageHasNoEntries) {
  ScannedImage image({});
  ASSERT_TRUE(image.Scan().IsOk());
  EXPECT_EQ(image.Count(), 0u);
  EXPECT_EQ(image.Tape().headerlessCount, 0u);
  EXPECT_EQ(image.Tape().headerlessDigits, 0u);
}

TEST_F(ScanImageTest, DamagedBlockChainIsABadArchive) {
  const Bytes valid = Concat({HeaderBlock(CodeType, "x", 1, 0, 0), DataBlock({7})});
  const Bytes cases[] = {
      {0x01},                                      // one stray byte
      {0x01, 0x00},                                // a length word without its block
      Concat({valid, {0x05}}),                     // stray bytes behind a valid image
      Concat({valid, {0x05, 0x00}}),
      {0x00, 0x00, 0xFF},                          // length word 0
      Concat({valid, {0x00, 0x00, 0xFF, 0x00}}),
      WithoutLastByte(HeaderBlock(CodeType, "cut", 1, 0, 0)),
      {0x13, 0x00, 0x00},                          // a header block that is all but gone
  };
  for (const Bytes& bytes : cases) {
    ScannedImage image(bytes);
    ExpectSilentFailure(image.Scan(), E_BAD_ARCHIVE);
  }
}

TEST_F(ScanImageTest, HeaderChecksumIsCheckedButDataChecksumIsNot) {
  Bytes badHeader = Concat({HeaderBlock(CodeType, "x", 1, 0, 0), DataBlock({7})});
  badHeader[20] ^= 0x01;
  ScannedImage header(badHeader);
  ExpectSilentFailure(header.Scan(), E_BAD_DATA);

  Bytes badData = Concat({HeaderBlock(CodeType, "x", 1, 0, 0), DataBlock({7}), DataBlock({8, 9})});
  badData[24] ^= 0x01;  // the first data block's check byte
  ScannedImage data(badData);
  ASSERT_TRUE(data.Scan().IsOk());
  ASSERT_EQ(data.Count(), 2u);
  EXPECT_TRUE(data.Entry(0).dataComplete);
  EXPECT_EQ(data.Entry(0).dataBlockLength, 3u);
}

TEST_F(ScanImageTest, HeadersPairWithTheDataBlockThatFollows) {
  const Bytes bytes = Concat({
      HeaderBlock(CodeType, "alone", 5, 0, 0),   // followed by a header: stands alone
      HeaderBlock(CodeType, "paired", 3, 0, 0),
      DataBlock({1, 2, 3}),
      DataBlock({4, 5}),                         // no header pending: headerless
      HeaderBlock(CodeType, "last", 9, 0, 0),    // the image ends: stands alone
  });
  ScannedImage image(bytes);
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 4u);

  const TapeEntry& alone = image.Entry(0);
  EXPECT_EQ(image.OffsetOf(alone.headerBlock), 2);
  EXPECT_EQ(alone.dataBlock, nullptr);
  EXPECT_EQ(alone.storedSize, 21u);
  EXPECT_EQ(alone.extractedSize, 0u);

  const TapeEntry& paired = image.Entry(1);
  EXPECT_EQ(image.OffsetOf(paired.headerBlock), 23);
  EXPECT_EQ(image.OffsetOf(paired.dataBlock), 44);
  EXPECT_EQ(paired.dataBlockLength, 5u);
  EXPECT_TRUE(paired.dataComplete);
  EXPECT_EQ(paired.storedSize, 21u + 7u);
  EXPECT_EQ(paired.extractedSize, 3u);

  const TapeEntry& headerless = image.Entry(2);
  EXPECT_EQ(headerless.headerBlock, nullptr);
  EXPECT_EQ(image.OffsetOf(headerless.dataBlock), 51);
  EXPECT_EQ(headerless.storedSize, 6u);
  EXPECT_EQ(headerless.headerlessNumber, 1u);

  EXPECT_EQ(image.Entry(3).dataBlock, nullptr);
  std::uint32_t stored = 0;
  for (std::uint32_t i = 0; i < image.Count(); ++i) {
    EXPECT_EQ(image.Entry(i).index, static_cast<std::int32_t>(i));
    stored += image.Entry(i).storedSize;
  }
  EXPECT_EQ(stored, bytes.size());
}

TEST_F(ScanImageTest, FlagZeroMakesAHeaderOnlyAtLength19) {
  Bytes zeroFlagged = DataBlock(Pattern(16), HeaderFlag);  // length 18
  Bytes longZeroFlagged = DataBlock(Pattern(18), HeaderFlag);  // length 20
  Bytes bytes = Concat({zeroFlagged, HeaderBlock(CodeType, "h", 18, 0, 0), longZeroFlagged});
  ScannedImage image(bytes);
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 2u);
  EXPECT_EQ(image.Entry(0).headerBlock, nullptr);
  EXPECT_EQ(image.Entry(0).dataBlockLength, 18u);
  EXPECT_NE(image.Entry(1).headerBlock, nullptr);
  EXPECT_EQ(image.Entry(1).dataBlockLength, 20u);
  EXPECT_EQ(image.Entry(1).dataBlock[0], HeaderFlag);

  // A length-19 block with a non-zero flag is data, so its checksum is not checked.
  Bytes flagged = DataBlock(Pattern(17), 0x01);
  flagged.back() ^= 0xFF;
  ScannedImage data(flagged);
  ASSERT_TRUE(data.Scan().IsOk());
  EXPECT_EQ(data.Entry(0).headerBlock, nullptr);
}

TEST_F(ScanImageTest, TruncatedLastDataBlockIsListedButIncomplete) {
  Bytes bytes = Concat({HeaderBlock(CodeType, "cut", 100, 0, 0), DataBlock(Pattern(100))});
  bytes.resize(bytes.size() - 40);
  ScannedImage image(bytes);
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 1u);
  EXPECT_FALSE(image.Entry(0).dataComplete);
  EXPECT_EQ(image.Entry(0).dataBlockLength, 102u);
  EXPECT_EQ(image.Entry(0).storedSize, 21u + 104u);
  EXPECT_EQ(image.Entry(0).extractedSize, 100u);

  // Cut right behind the flag byte: still a block.
  ScannedImage flagOnly({0x10, 0x00, 0xFF});
  ASSERT_TRUE(flagOnly.Scan().IsOk());
  EXPECT_FALSE(flagOnly.Entry(0).dataComplete);
  EXPECT_EQ(flagOnly.Entry(0).storedSize, 0x12u);
}

TEST_F(ScanImageTest, DataBlockOfLengthOneHasNoPayload) {
  ScannedImage image(Concat({HeaderBlock(ProgramType, "p", 5, 1, 5), {0x01, 0x00, 0xFF}}), HobetaExtraction());
  ASSERT_TRUE(image.Scan().IsOk());
  const TapeEntry& entry = image.Entry(0);
  EXPECT_FALSE(entry.dataComplete);
  EXPECT_EQ(entry.dataBlockLength, 1u);
  EXPECT_EQ(entry.storedSize, 24u);
  EXPECT_EQ(entry.trailerLength, 0u);  // length 5 is not the payload 0
  EXPECT_EQ(entry.extractedSize, 17u);  // the hobeta header alone
  EXPECT_EQ(image.HobetaBytes(0)[14], 0);
}

TEST_F(ScanImageTest, TimeParamsDependOnTheHeaderType) {
  ScannedImage image(Concat({
      HeaderBlock(ProgramType, "prog", 0x1234, 10, 0x5678),
      HeaderBlock(CodeType, "code", 0x1111, 0x2222, 0x3333),
      HeaderBlock(2, "chars", 0x0AAA, 0x0BBB, 0x0CCC),
      DataBlock({1}),
  }));
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 3u);
  const TapeEntry& program = image.Entry(0);
  EXPECT_EQ(program.timeParamLow, 0x1234);  // length
  EXPECT_EQ(program.timeParamHigh, 0x5678);  // param2
  const TapeEntry& code = image.Entry(1);
  EXPECT_EQ(code.timeParamLow, 0x2222);  // param1
  EXPECT_EQ(code.timeParamHigh, 0x1111);  // length
  EXPECT_EQ(image.Entry(2).timeParamLow, 0x0BBB);
  EXPECT_EQ(image.Entry(2).timeParamHigh, 0x0AAA);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(image.Entry(i).hasTimeParams, 1);
    EXPECT_EQ(image.Entry(i).headerlessMarker, 0);
  }

  ScannedImage headerless(DataBlock({1, 2}));
  ASSERT_TRUE(headerless.Scan().IsOk());
  EXPECT_EQ(headerless.Entry(0).hasTimeParams, 0);
  EXPECT_EQ(headerless.Entry(0).headerlessMarker, 1);
  EXPECT_EQ(headerless.Entry(0).timeParamLow, 0);
  EXPECT_EQ(headerless.Entry(0).timeParamHigh, 0);
}

TEST_F(ScanImageTest, ProgramGetsTheAutostartTrailerOnlyWhenItsLengthIsThePayload) {
  struct Case {
    std::uint16_t length, param1;
    std::size_t payload;
    Bytes trailer;
  };
  const Case cases[] = {
      {10, 10, 10, {0x80, 0xAA, 10, 0}},
      {10, 16383, 10, {0x80, 0xAA, 0xFF, 0x3F}},
      {10, 16384, 10, {0x80, 0xAA, 0, 0}},  // 16384 and more start nothing
      {10, 32768, 10, {0x80, 0xAA, 0, 0}},
      {10, 10, 11, {}},
      {11, 10, 10, {}},
  };
  for (const Case& c : cases) {
    ScannedImage image(Concat({HeaderBlock(ProgramType, "prog", c.length, c.param1, 0), DataBlock(Pattern(c.payload))}));
    ASSERT_TRUE(image.Scan().IsOk());
    EXPECT_EQ(Trailer(image.Entry(0)), c.trailer) << c.length << " " << c.param1 << " " << c.payload;
    EXPECT_EQ(image.Entry(0).extractedSize, c.payload + c.trailer.size());
  }

  // Only programs: a code header whose length matches gets nothing.
  ScannedImage code(Concat({HeaderBlock(CodeType, "code", 3, 10, 0), DataBlock({1, 2, 3})}));
  ASSERT_TRUE(code.Scan().IsOk());
  EXPECT_EQ(code.Entry(0).trailerLength, 0u);

  // A header-only program of length 0 has its whole (empty) program.
  ScannedImage empty(HeaderBlock(ProgramType, "empty", 0, 5, 0));
  ASSERT_TRUE(empty.Scan().IsOk());
  EXPECT_EQ(Trailer(empty.Entry(0)), (Bytes{0x80, 0xAA, 5, 0}));
  EXPECT_EQ(empty.Entry(0).extractedSize, 4u);
}

TEST_F(ScanImageTest, HeaderlessEntriesAreNumberedWithTheDigitsOfTheirCount) {
  Bytes bytes = HeaderBlock(CodeType, "named", 1, 0, 0);  // paired: not counted
  for (int i = 0; i < 13; ++i) bytes = Concat({bytes, DataBlock({static_cast<std::uint8_t>(i)})});
  ScannedImage image(bytes);
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 13u);
  EXPECT_EQ(image.Tape().headerlessCount, 12u);
  EXPECT_EQ(image.Tape().headerlessDigits, 2u);
  EXPECT_EQ(image.Entry(0).headerlessNumber, 0u);
  EXPECT_EQ(HobetaName(image, 0), "named   ");
  EXPECT_EQ(HobetaName(image, 1), "data01  ");
  EXPECT_EQ(HobetaName(image, 3), "data03  ");
  EXPECT_EQ(HobetaName(image, 12), "data12  ");
  EXPECT_EQ(image.Entry(12).headerlessNumber, 12u);

  Bytes nine;
  for (int i = 0; i < 9; ++i) nine = Concat({nine, DataBlock({1})});
  ScannedImage single(nine);
  ASSERT_TRUE(single.Scan().IsOk());
  EXPECT_EQ(single.Tape().headerlessDigits, 1u);
  EXPECT_EQ(HobetaName(single, 8), "data9   ");
}

TEST_F(ScanImageTest, HeaderlessNumbersPastFourDigitsKeepTheirLastFour) {
  Bytes bytes;
  for (int i = 0; i < 12345; ++i) bytes.insert(bytes.end(), {0x01, 0x00, 0xFF});
  ScannedImage image(bytes);
  ASSERT_TRUE(image.Scan().IsOk());
  EXPECT_EQ(image.Tape().headerlessDigits, 5u);
  EXPECT_EQ(HobetaName(image, 0), "data0001");
  EXPECT_EQ(HobetaName(image, 9999), "data0000");
  EXPECT_EQ(HobetaName(image, 12344), "data2345");
}

TEST_F(ScanImageTest, HobetaFitsUpTo65280BytesWithTheTrailer) {
  for (const std::uint16_t payload : {65276, 65277}) {
    ScannedImage image(Concat({HeaderBlock(ProgramType, "big", payload, 0, payload), DataBlock(Pattern(payload))}),
                       HobetaExtraction());
    ASSERT_TRUE(image.Scan().IsOk());
    const TapeEntry& entry = image.Entry(0);
    EXPECT_EQ(entry.trailerLength, 4u);
    EXPECT_EQ(entry.hobetaFits, payload == 65276 ? 1 : 0) << payload;
    EXPECT_EQ(entry.extractAsHobeta, 1);
    EXPECT_EQ(entry.hobetaPadding, payload == 65276 ? 0u : 255u);
    EXPECT_EQ(entry.extractedSize, 17u + payload + 4u + entry.hobetaPadding);
  }
}

TEST_F(ScanImageTest, HobetaExtractionAddsHeaderAndSectorFill) {
  ScannedImage image(Concat({HeaderBlock(CodeType, "c", 300, 0, 0), DataBlock(Pattern(300)), DataBlock(Pattern(512))}),
                     HobetaExtraction());
  ASSERT_TRUE(image.Scan().IsOk());
  EXPECT_EQ(image.Entry(0).hobetaPadding, 212u);
  EXPECT_EQ(image.Entry(0).extractedSize, 17u + 512u);
  EXPECT_EQ(image.Entry(1).hobetaPadding, 0u);
  EXPECT_EQ(image.Entry(1).extractedSize, 17u + 512u);

  ScannedImage raw(Concat({HeaderBlock(CodeType, "c", 300, 0, 0), DataBlock(Pattern(300))}));
  ASSERT_TRUE(raw.Scan().IsOk());
  EXPECT_EQ(raw.Entry(0).extractAsHobeta, 0);
  EXPECT_EQ(raw.Entry(0).hobetaPadding, 0u);
  EXPECT_EQ(raw.Entry(0).extractedSize, 300u);
  EXPECT_EQ(raw.HobetaBytes(0)[14], 2);  // the header is the same either way
}

TEST_F(ScanImageTest, RarevModeMakesDirectoryRecordsAndNoHobetaFields) {
  const Bytes programHeader = HeaderBlock(ProgramType, "prog", 3, 10, 3);
  ScannedImage image(Concat({programHeader, DataBlock({1, 2, 3}, 0x55), HeaderBlock(CodeType, "alone", 7, 1, 2),
                             HeaderBlock(CodeType, "next", 7, 1, 2), DataBlock({4, 5})}),
                     RarevMode());
  ASSERT_TRUE(image.Scan().IsOk());
  ASSERT_EQ(image.Count(), 3u);

  const TapeEntry& program = image.Entry(0);
  EXPECT_EQ(program.hasRarevRecord, 1);
  const RarevRecord record = image.Record(0);
  EXPECT_EQ(record.kind, 0x83);
  EXPECT_EQ(+record.dosDateTime, tap_test::TestDosDateTime);
  EXPECT_EQ(std::memcmp(&record.header, programHeader.data() + 3, 17), 0);
  EXPECT_EQ(+record.body, 0);
  EXPECT_EQ(+record.payloadLength, 3u);
  EXPECT_EQ(record.flag, 0x55);
  EXPECT_EQ(record.attribute, 0);
  EXPECT_EQ(+record.reserved, 0);
  EXPECT_EQ(program.trailerLength, 0u);  // no trailer even though length = payload
  EXPECT_EQ(program.extractAsHobeta, 0);
  EXPECT_EQ(program.extractedSize, 3u);
  EXPECT_EQ(program.hasTimeParams, 1);
  EXPECT_EQ(program.hobetaPadding, 0u);

  const TapeEntry& alone = image.Entry(1);
  const RarevRecord aloneRecord = image.Record(1);
  EXPECT_EQ(aloneRecord.kind, 0x81);
  EXPECT_EQ(+aloneRecord.payloadLength, 0u);
  EXPECT_EQ(aloneRecord.flag, 0xFF);
  EXPECT_EQ(alone.extractedSize, 0u);
  EXPECT_EQ(alone.storedSize, 21u);

  ScannedImage headerless(DataBlock({9, 9, 9, 9}), RarevMode());
  ASSERT_TRUE(headerless.Scan().IsOk());
  const TapeEntry& entry = headerless.Entry(0);
  EXPECT_EQ(entry.hasRarevRecord, 1);
  RarevRecord empty{};
  const RarevRecord none = headerless.Record(0);
  EXPECT_EQ(std::memcmp(&none, &empty, sizeof empty), 0);
  EXPECT_EQ(entry.extractedSize, 4u);
  EXPECT_EQ(entry.headerlessMarker, 1);
}

TEST_F(ScanImageTest, EntryCountIsLimitedTo100000) {
  Bytes bytes;
  for (std::uint32_t i = 0; i < MaxEntries; ++i) bytes.insert(bytes.end(), {0x01, 0x00, 0xFF});
  ScannedImage full(bytes);
  ASSERT_TRUE(full.Scan().IsOk());
  EXPECT_EQ(full.Count(), 100000u);
  EXPECT_EQ(full.Entry(99999).index, 99999);

  // A header that would start the 100001st entry is refused as well.
  bytes = Concat({bytes, HeaderBlock(CodeType, "one more", 1, 0, 0)});
  ScannedImage over(bytes);
  const Status status = over.Scan();
  EXPECT_TRUE(status.IsFailed());
  EXPECT_NE(status.flags & Status::Show, 0);
  EXPECT_STREQ(status.message, "Too many files in TAP image.");
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(over.Count(), 0u);  // refused before a single entry is made
}

TEST_F(ScanImageTest, EntriesAreMadeClearedInRoomReservedOnce) {
  ScannedImage image({});
  ASSERT_TRUE(ReserveEntries(image.Tape(), 2).IsOk());
  TapeEntry& first = AddEntry(image.Tape());
  EXPECT_EQ(first.index, -1);
  EXPECT_EQ(first.dataBlock, nullptr);
  first.index = 7;
  const TapeEntry& second = AddEntry(image.Tape());
  EXPECT_EQ(second.index, -1);
  EXPECT_EQ(&image.Entry(0), &first) << "the first entry did not move";
  EXPECT_EQ(image.Entry(0).index, 7);
  EXPECT_EQ(image.Count(), 2u);
  EXPECT_EQ(HostCode(ReserveEntries(image.Tape(), MaxEntries + 1)), 1);
}

TEST_F(ScanImageTest, OutOfMemoryEndsTheScanBeforeAnyEntry) {
  ScannedImage image(Concat({DataBlock({1}), DataBlock({2}), DataBlock({3})}));
  faults.FailNth(fault_os::Op::Allocate, 1);  // the room for the three entries
  const Status status = image.Scan();
  EXPECT_EQ(HostCode(status), E_NO_MEMORY);
  EXPECT_EQ(image.Count(), 0u);
  EXPECT_EQ(faults.LiveBlocks(), 0);
  ASSERT_TRUE(image.Scan().IsOk());
  EXPECT_EQ(image.Count(), 3u);
}

}  // namespace
