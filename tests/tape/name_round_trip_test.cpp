// Every listed name must read back to the tape fields it was formed from.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "helpers/naming_fixtures.h"
#include "helpers/scanned_image.h"
#include "tape/entry_list.h"
#include "tape/entry_name_reader.h"
#include "tape/rarev_name_reader.h"

namespace {

using naming_test::NameOf;
using naming_test::Unpacked;

struct Block {
  bool headerless;
  std::uint8_t type;
  std::string name;  // 10 bytes
  std::uint16_t length, param1, param2;
  int flag;  // of the data block; -1 for none
};

// Mostly ordinary names, with every kind of byte that needs care mixed in.
std::string RandomName(std::mt19937& random) {
  static const std::string ordinary = "abcxyzABCXYZ019-_!~";
  static const std::string awkward = "\"<>|\\/?*:#$.[] ";
  static const char* devices[] = {"CON", "nul", "Com7", "LPT1.x", "prn  .a"};
  std::string name;
  if (random() % 16 == 0) name = devices[random() % 5];
  const std::size_t used = random() % 11;
  while (name.size() < used) {
    switch (random() % 6) {
      case 0:
        name += static_cast<char>(random() % 0x20);
        break;
      case 1:
        name += static_cast<char>(0x7F + random() % 0x81);
        break;
      case 2:
        name += awkward[random() % awkward.size()];
        break;
      default:
        name += ordinary[random() % ordinary.size()];
    }
  }
  name.resize(10, ' ');
  return name;
}

std::vector<Block> RandomBlocks(std::mt19937& random, int count) {
  std::vector<Block> blocks;
  while (static_cast<int>(blocks.size()) < count) {
    if (random() % 8 == 0) {
      blocks.push_back({true, 0, "", 0, 0, 0, static_cast<int>(random() % 256)});
      continue;
    }
    if (!blocks.empty() && random() % 5 == 0) {  // equal names get duplicate marks
      const Block& earlier = blocks[random() % blocks.size()];
      if (!earlier.headerless) {
        blocks.push_back(earlier);
        continue;
      }
    }
    Block block{false, static_cast<std::uint8_t>(random()), RandomName(random), static_cast<std::uint16_t>(random()),
                static_cast<std::uint16_t>(random()), static_cast<std::uint16_t>(random()),
                random() % 4 == 0 ? -1 : static_cast<int>(random() % 256)};
    // Types 0x42 and 0x43 are written "B" and "C" like types 0 and 3, and read back as those.
    if (block.type == 'B' || block.type == 'C') block.type = 7;
    blocks.push_back(block);
  }
  return blocks;
}

tap_builder::Bytes ImageOf(const std::vector<Block>& blocks) {
  tap_builder::Bytes image;
  for (const Block& block : blocks) {
    if (!block.headerless) {
      const tap_builder::Bytes header =
          tap_builder::HeaderBlock(block.type, tap_builder::AsBytes(block.name), block.length, block.param1, block.param2);
      image.insert(image.end(), header.begin(), header.end());
    }
    if (block.flag >= 0) {
      const tap_builder::Bytes data = tap_builder::DataBlock({1, 2}, static_cast<std::uint8_t>(block.flag));
      image.insert(image.end(), data.begin(), data.end());
    }
  }
  return image;
}

std::string Trimmed(const std::string& name10, std::size_t keep) {
  std::string name = name10.substr(0, name10.find_last_not_of(' ') + 1);
  return name.substr(0, keep);
}

// The type that packing makes of what ParseEntryName read.
std::uint8_t PackedType(std::uint8_t typeChar, std::size_t extLength) {
  if (typeChar == 'B' && extLength == 1) return 0;
  if (typeChar == 'C' && (extLength == 1 || extLength == 3)) return 3;
  return typeChar;
}

class NameRoundTrip : public ::testing::TestWithParam<unsigned> {
 protected:
  std::mt19937 random{GetParam()};
};

TEST_P(NameRoundTrip, PlainNamesGiveBackTapeNameAndType) {
  const std::vector<Block> blocks = RandomBlocks(random, 200);
  for (int numbering = 0; numbering <= 2; ++numbering) {
    for (const char* separator : {"!   ", "-", " ", ""}) {
      // Read back, "000" and no separator is taken for "00" and no separator.
      if (numbering == 2 && *separator == '\0') continue;
      for (const bool hobeta : {false, true}) {
        Settings settings = naming_test::PlainSettings(numbering, separator);
        settings.ExtractHobeta = hobeta;
        settings.DetectHobeta = true;
        tap_test::ScannedImage scanned(ImageOf(blocks), settings);
        ASSERT_TRUE(scanned.Build().IsOk());
        for (std::uint32_t i = 0; i < scanned.Count(); ++i) {
          const TapeEntry& entry = scanned.Entry(i);
          const std::string listed = NameOf(entry, scanned.Tape());
          SCOPED_TRACE(testing::Message() << "numbering " << numbering << " separator '" << separator << "' hobeta "
                                          << hobeta << " name '" << listed << "'");
          ASSERT_EQ(listed.find_first_of("\"<>|\\/?*:"), std::string::npos);
          for (const char ch : listed) ASSERT_TRUE(ch >= 0x20 && ch < 0x7F);
          if (entry.Header() == nullptr) {
            EXPECT_EQ(IsHeaderlessName(listed.c_str(), true, settings), !hobeta);
            EXPECT_FALSE(IsHeaderlessName(listed.c_str(), false, settings));
            continue;
          }
          EXPECT_FALSE(IsHeaderlessName(listed.c_str(), true, settings));
          const ParsedEntryName parsed = ParseEntryName(listed.c_str(), settings);
          const std::string expected = Trimmed(std::string(entry.Header()->name, 10), hobeta ? 8 : 10);
          EXPECT_EQ(std::string(reinterpret_cast<const char*>(parsed.name), 10),
                    (expected + std::string(10, ' ')).substr(0, 10));
          EXPECT_EQ(parsed.nameLength, expected.size());
          EXPECT_EQ(parsed.hobetaMark, hobeta);
          // A hobeta file carries its type in its own header; the name keeps the letter.
          if (hobeta) {
            EXPECT_EQ(parsed.extLength, 2u);
            EXPECT_EQ(PackedType(parsed.typeChar, 1), entry.Header()->type);
          } else {
            EXPECT_EQ(PackedType(parsed.typeChar, parsed.extLength), entry.Header()->type);
          }
        }
      }
    }
  }
}

TEST_P(NameRoundTrip, RarevNamesGiveBackTheWholeRecord) {
  const std::vector<Block> blocks = RandomBlocks(random, 300);
  for (int pattern = 1; pattern <= 2; ++pattern) {
    for (int gap = 1; gap <= 3; ++gap) {
      for (const bool decimal : {false, true}) {
        const Settings settings = naming_test::RarevSettings(pattern, gap, decimal);
        tap_test::ScannedImage scanned(ImageOf(blocks), settings);
        ASSERT_TRUE(scanned.Build().IsOk());
        for (std::uint32_t i = 0; i < scanned.Count(); ++i) {
          const TapeEntry& entry = scanned.Entry(i);
          const std::string listed = NameOf(entry, scanned.Tape());
          SCOPED_TRACE(testing::Message() << "pattern " << pattern << " gap " << gap << " decimal " << decimal
                                          << " name '" << listed << "'");
          ASSERT_EQ(listed.find_first_of("\"<>|\\/?*:"), std::string::npos);
          RarevRecord record{};
          bool found = false;
          ParseParamsName(listed.c_str(), listed.size(), record, found);
          if (entry.Header() == nullptr) {
            EXPECT_FALSE(found);
            EXPECT_TRUE(IsHeaderlessName(listed.c_str(), false, settings));
            continue;
          }
          EXPECT_FALSE(IsHeaderlessName(listed.c_str(), true, settings));
          ASSERT_TRUE(found);
          const RarevRecord original = RarevRecordOf(entry, scanned.Tape().dosDateTime);
          EXPECT_EQ(std::string(record.header.name, 10), std::string(original.header.name, 10));
          EXPECT_EQ(record.header.type, original.header.type);
          EXPECT_EQ(Unpacked(record.header.length), Unpacked(original.header.length));
          EXPECT_EQ(Unpacked(record.header.param1), Unpacked(original.header.param1));
          EXPECT_EQ(Unpacked(record.header.param2), Unpacked(original.header.param2));
          EXPECT_EQ(Unpacked(record.body), 0u);
          EXPECT_EQ(record.flag, original.flag);
          EXPECT_EQ(record.attribute, 0);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, NameRoundTrip, ::testing::Values(1u, 2u, 3u, 20240601u, 0xD0BEDu));

}  // namespace
