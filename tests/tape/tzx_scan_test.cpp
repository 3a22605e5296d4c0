// TZX images scanned: the entries are those that the same TAP blocks make in
// a TAP image, whatever else lies between them; only the packed sizes count
// the TZX blocks as stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "helpers/scanned_image.h"
#include "helpers/tzx_builder.h"
#include "tape/image_format.h"

namespace {

using tap_builder::Bytes;
using tap_builder::Concat;
using tap_test::ScannedImage;
using tzx_builder::DataKind;

std::string ListedName(ScannedImage& image, std::uint32_t index) {
  char name[EntryNameSize];
  EXPECT_TRUE(ListedEntryName(image.Tape(), index, name).IsOk());
  return name;
}

Bytes Prefix(const Bytes& bytes, std::size_t count) { return Bytes(bytes.begin(), bytes.begin() + count); }

// Scans `bytes`: it fails silently with `code`, or with code 0 lists `entries`.
void ExpectScan(const Bytes& bytes, int code, std::uint32_t entries) {
  ScannedImage image(bytes);
  const Status status = image.Build();
  EXPECT_EQ(status.code, code);
  EXPECT_EQ(status.IsFailed(), code != 0);
  EXPECT_EQ(status.message, nullptr);
  if (status.IsOk()) {
    EXPECT_EQ(image.Count(), entries);
  }
}

Settings Mode(int mode) {
  Settings settings{};
  settings.FileNameNumbering = mode == 0 ? Numbering::Hex : Numbering::None;
  settings.ExtractHobeta = mode == 1;
  settings.RarevCompatible = mode == 2;
  return settings;
}

TEST(TzxScanTest, EveryKindOfBlockListsAsTheTapOfItsDataBlocks) {
  const tzx_builder::Image built = tzx_builder::EveryKindImage();
  for (int mode = 0; mode < 3; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    ScannedImage tzx(built.bytes, Mode(mode));
    ScannedImage tap(built.tap, Mode(mode));
    ASSERT_TRUE(tzx.Build().IsOk());
    ASSERT_TRUE(tap.Build().IsOk());
    ASSERT_EQ(tzx.Count(), 4u);
    ASSERT_EQ(tzx.Count(), tap.Count());
    std::size_t block = 0;  // the data blocks of the builder, in order
    for (std::uint32_t i = 0; i < tzx.Count(); ++i) {
      SCOPED_TRACE("entry " + std::to_string(i));
      const TapeEntry& entry = tzx.Entry(i);
      const TapeEntry& same = tap.Entry(i);
      EXPECT_EQ(ListedName(tzx, i), ListedName(tap, i));
      EXPECT_EQ(tzx.ExtractedBytes(i), tap.ExtractedBytes(i));
      EXPECT_EQ(entry.extractedSize, same.extractedSize);
      EXPECT_EQ(entry.dataComplete, same.dataComplete);
      EXPECT_EQ(entry.timeParamLow, same.timeParamLow);
      EXPECT_EQ(entry.timeParamHigh, same.timeParamHigh);
      EXPECT_EQ(entry.hasTimeParams, same.hasTimeParams);
      if (mode == 2) {
        const RarevRecord listed = tzx.Record(i), same = tap.Record(i);
        EXPECT_EQ(std::memcmp(&listed, &same, sizeof listed), 0);
      }
      // Each of its blocks as stored, ID and fields included, and nothing else.
      const auto expectStored = [&](StoredRange range) {
        const auto [start, end] = built.dataBlocks.at(block++);
        EXPECT_EQ(tzx.OffsetOf(range.start), static_cast<std::ptrdiff_t>(start));
        EXPECT_EQ(range.length, end - start);
        return range.length;
      };
      std::uint32_t stored = 0;
      if (entry.headerBlock != nullptr) stored += expectStored(entry.StoredHeader());
      if (entry.dataBlock != nullptr) stored += expectStored(entry.StoredData());
      EXPECT_EQ(entry.storedSize, stored);
    }
    EXPECT_EQ(block, built.dataBlocks.size());
  }
}

// Cut anywhere after the signature: between blocks the image lists the
// entries of the blocks before the cut; anywhere else it is damaged.
TEST(TzxScanTest, AnImageCutShortIsDamagedUnlessCutBetweenBlocks) {
  const tzx_builder::Image built = tzx_builder::EveryKindImage();
  for (std::size_t cut = 8; cut < built.bytes.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    if (std::find(built.blockEnds.begin(), built.blockEnds.end(), cut) == built.blockEnds.end()) {
      ExpectScan(Prefix(built.bytes, cut), E_BAD_ARCHIVE, 0);
      continue;
    }
    std::size_t tapLength = 0;
    for (std::size_t i = 0; i < built.dataBlocks.size() && built.dataBlocks[i].second <= cut; ++i) {
      tapLength = built.tapEnds[i];
    }
    ScannedImage tap(Prefix(built.tap, tapLength));
    ASSERT_TRUE(tap.Build().IsOk());
    ExpectScan(Prefix(built.bytes, cut), 0, tap.Count());
  }
}

TEST(TzxScanTest, TheSignatureAndTheVersionChooseTheReader) {
  const Bytes program = tap_builder::CodeFile("x", {1, 2, 3});
  const Bytes standard = tzx_builder::FromTap(program);
  const Bytes blocks(standard.begin() + 10, standard.end());
  Bytes badHeader = tzx_builder::FromTap(program);
  badHeader[10 + 3 + 2 + 5] ^= 0x01;  // a name byte of the header block
  struct Case {
    const char* what;
    Bytes bytes;
    int code;  // 0: listed
    std::uint32_t entries;
  };
  const Case cases[] = {
      {"the header alone", tzx_builder::Header(), 0, 0},
      {"an older minor version", Concat({tzx_builder::Header(1, 0), blocks}), 0, 1},
      {"a newer minor version", Concat({tzx_builder::Header(1, 99), blocks}), 0, 1},
      {"another major version", Concat({tzx_builder::Header(2, 0), blocks}), E_UNKNOWN_FORMAT, 0},
      {"the signature without versions", Prefix(standard, 8), E_BAD_ARCHIVE, 0},
      {"the signature and the major version", Prefix(standard, 9), E_BAD_ARCHIVE, 0},
      {"no TZX signature: a TAP image", program, 0, 1},
      {"an empty data block carries no tape block",
       Concat({tzx_builder::Header(), Bytes{0x10, 0xE8, 0x03, 0x00, 0x00}}), 0, 0},
      {"a header block's checksum is checked", badHeader, E_BAD_DATA, 0},
      {"a block of an unknown ID runs past the end", Concat({tzx_builder::Header(), Bytes{0x4B, 9, 0, 0, 0, 1, 2}}),
       E_BAD_ARCHIVE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectScan(c.bytes, c.code, c.entries);
  }
}

TEST(TzxScanTest, ANewImageIsTzxWhenItsNameEndsInTzx) {
  for (const char* name : {"a.tzx", "dir/GAME.TZX", "b.TzX", ".tzx"}) EXPECT_EQ(FormatOfNewImage(name), ImageFormat::Tzx) << name;
  for (const char* name : {"a.tap", "tzx", "a.tzx.tap", "a.tzx ", ""}) EXPECT_EQ(FormatOfNewImage(name), ImageFormat::Tap) << name;
}

}  // namespace
