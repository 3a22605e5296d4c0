#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "helpers/naming_fixtures.h"
#include "tape/entry_name.h"
#include "tape/entry_name_reader.h"

namespace {

using naming_test::ExampleImage;
using naming_test::HandEntry;
using naming_test::ListNames;
using naming_test::ListedNames;
using naming_test::NameOf;
using naming_test::PlainSettings;
using Names = std::vector<std::string>;

// The name of a lone header entry in plain mode, numbering off.
std::string PlainName(std::uint8_t type, const std::string& name10, bool hobeta = false) {
  Settings settings = PlainSettings();
  settings.ExtractHobeta = hobeta;
  const Names names = ListedNames(tap_builder::HeaderBlock(type, tap_builder::AsBytes(name10), 0, 0, 0), settings);
  return names.size() == 1 ? names[0] : "<no entry>";
}

TEST(PlainEntryName, WorkedExamplesInEachNumberingMode) {
  EXPECT_EQ(ListedNames(ExampleImage(), PlainSettings(0)), (Names{"hello.B", "screen.C", "data1"}));
  EXPECT_EQ(ListedNames(ExampleImage(), PlainSettings(1)), (Names{"00!   hello.B", "01!   screen.C", "02!   data1"}));
  EXPECT_EQ(ListedNames(ExampleImage(), PlainSettings(2)), (Names{"000!   hello.B", "001!   screen.C", "002!   data1"}));
}

TEST(PlainEntryName, HobetaModeMarksExtensionsAndCutsNames) {
  Settings settings = PlainSettings(0);
  settings.ExtractHobeta = true;
  EXPECT_EQ(ListedNames(ExampleImage(), settings), (Names{"hello.$B", "screen.$C", "data1.$C"}));
  EXPECT_EQ(PlainName(0, "abcdefghij", true), "abcdefgh.$B");
  // Trailing spaces go before the cut, so a space inside the first eight stays.
  EXPECT_EQ(PlainName(3, "abcdefg  x", true), "abcdefg .$C");
  settings.FileNameNumbering = Numbering::Hex;
  EXPECT_EQ(ListedNames(ExampleImage(), settings), (Names{"00!   hello.$B", "01!   screen.$C", "02!   data1.$C"}));
}

TEST(PlainEntryName, HexadecimalNumbersAreUpperCase) {
  tap_builder::Bytes image;
  for (int i = 0; i < 12; ++i) {
    const tap_builder::Bytes block = tap_builder::DataBlock(tap_builder::Pattern(3));
    image.insert(image.end(), block.begin(), block.end());
  }
  const Names names = ListedNames(image, PlainSettings(1, "-"));
  ASSERT_EQ(names.size(), 12u);
  EXPECT_EQ(names[10], "0A-data11");
  EXPECT_EQ(names[11], "0B-data12");
  EXPECT_EQ(ListedNames(image, PlainSettings(2, ""))[11], "011data12");
}

TEST(PlainEntryName, HeaderlessNumbersArePaddedToTheWidestNumber) {
  tap_builder::Bytes image;
  for (int i = 0; i < 12; ++i) {
    const tap_builder::Bytes block = tap_builder::DataBlock(tap_builder::Pattern(3));
    image.insert(image.end(), block.begin(), block.end());
  }
  const Names plain = ListedNames(image, PlainSettings(0));
  EXPECT_EQ(plain.front(), "data01");
  EXPECT_EQ(plain.back(), "data12");
  const Names rarev = ListedNames(image, naming_test::RarevSettings(1, 1, false));
  EXPECT_EQ(rarev.front(), "headerless01");
  EXPECT_EQ(rarev.back(), "headerless12");
}

TEST(PlainEntryName, SeparatorBytesAreEscapedButSpacesKept) {
  const Names names = ListedNames(ExampleImage(), PlainSettings(1, "#: a/"));
  EXPECT_EQ(names[0], "00#23#3A a#2Fhello.B");
}

TEST(PlainEntryName, BytesThatCannotStandInANameAreEscaped) {
  EXPECT_EQ(PlainName(0, "a/b*c     "), "a#2Fb#2Ac.B");
  EXPECT_EQ(PlainName(0, std::string("\x7F#\0\x01\x1F\"<>|\\", 10)), "#7F#23#00#01#1F#22#3C#3E#7C#5C.B");
  EXPECT_EQ(PlainName(0, "?*:\x80\xFF     "), "#3F#2A#3A#80#FF.B");
  // Everything else printable stands as itself.
  EXPECT_EQ(PlainName(3, "~!$%&'()+,"), "~!$%&'()+,.C");
}

TEST(PlainEntryName, SpacesAndDotsInTapeNames) {
  EXPECT_EQ(PlainName(0, "          "), ".B");
  EXPECT_EQ(PlainName(0, "  a b     "), "  a b.B");
  EXPECT_EQ(PlainName(3, "abc.      "), "abc..C");
}

TEST(PlainEntryName, TypeCharacters) {
  EXPECT_EQ(PlainName(1, "nums      "), "nums.#01");
  EXPECT_EQ(PlainName(2, "chars     "), "chars.#02");
  EXPECT_EQ(PlainName(0x20, "x         "), "x.#20");
  EXPECT_EQ(PlainName(0xFF, "x         "), "x.#FF");
  EXPECT_EQ(PlainName('#', "x         "), "x.#23");
  EXPECT_EQ(PlainName('Z', "x         "), "x.Z");
  EXPECT_EQ(PlainName(0, "x         ", true), "x.$B");
  EXPECT_EQ(PlainName(1, "x         ", true), "x.$#01");
}

// Read back, "x.." would have no extension and "x.$" a hobeta mark and no type.
TEST(PlainEntryName, DotAndDollarTypesAreEscaped) {
  EXPECT_EQ(PlainName('$', "x         "), "x.#24");
  EXPECT_EQ(PlainName('$', "x         ", true), "x.$#24");
  EXPECT_EQ(PlainName('.', "x         "), "x.#2E");
  EXPECT_EQ(PlainName('.', "x.        ", true), "x..$#2E");
}

// Without a number, a tape name that starts like "number and separator" would
// lose that start when read back.
TEST(PlainEntryName, NamesThatLookNumberedGetTheirFirstCharacterEscaped) {
  auto listed = [](const char* tapeName, int numbering, const char* separator, bool hobeta = false) {
    Settings settings = PlainSettings(numbering, separator);
    settings.ExtractHobeta = hobeta;
    const Names names = ListedNames(tap_builder::HeaderBlock(0, tapeName, 0, 0, 0), settings);
    return names.size() == 1 ? names[0] : "<no entry>";
  };
  EXPECT_EQ(listed("3D GAME", 0, " "), "#33D GAME.B");
  EXPECT_EQ(listed("3D GAME", 0, " ", true), "#33D GAME.$B");
  EXPECT_EQ(listed("128 TUNES", 0, " "), "#3128 TUNES.B");
  EXPECT_EQ(listed("12!   x", 0, "!   "), "#312!   x.B");
  EXPECT_EQ(listed("DEMO", 0, ""), "#44EMO.B");
  EXPECT_EQ(listed("demo", 0, ""), "demo.B");
  EXPECT_EQ(listed("3X GAME", 0, " "), "3X GAME.B");
  EXPECT_EQ(listed("3D-GAME", 0, " "), "3D-GAME.B");
  // Behind a number only that number is dropped.
  EXPECT_EQ(listed("3D GAME", 2, " "), "000 3D GAME.B");
  EXPECT_EQ(listed("3D GAME", 1, " "), "00 3D GAME.B");

  for (const char* name : {"#33D GAME.B", "000 3D GAME.B", "00 3D GAME.B"}) {
    const ParsedEntryName parsed = ParseEntryName(name, PlainSettings(0, " "));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parsed.name), 10), "3D GAME   ") << name;
  }
}

class EntryNameFailure : public ::testing::Test {
 protected:
  TapeImage image;
  char out[EntryNameSize];

  void SetUp() override { std::memset(out, 'q', sizeof out); }
  bool OutUntouched() const {
    for (char ch : out) {
      if (ch != 'q') return false;
    }
    return true;
  }
};

TEST_F(EntryNameFailure, NumberPrefixAboveFF) {
  image.settings = PlainSettings(1);
  HandEntry hand(0, "x         ");
  hand.entry.index = 255;
  EXPECT_EQ(NameOf(hand.entry, image), "FF!   x.B");
  hand.entry.index = 256;
  const Status status = MakeEntryName(hand.entry, image, out, true);
  ASSERT_TRUE(status.IsFailed());
  EXPECT_STREQ(status.message, "Internal error GN39");
  EXPECT_TRUE(status.flags & Status::Show);
  EXPECT_TRUE(OutUntouched());
  // An entry the scan has not numbered yet gets no prefix.
  hand.entry.index = -1;
  EXPECT_EQ(NameOf(hand.entry, image), "x.B");
}

TEST_F(EntryNameFailure, HeaderlessNumberWiderThan14Digits) {
  image.settings = PlainSettings(0);
  HandEntry hand(HandEntry::Headerless{7});
  image.headerlessDigits = 14;
  EXPECT_EQ(NameOf(hand.entry, image), "data00000000000007");
  image.headerlessDigits = 15;
  const Status status = MakeEntryName(hand.entry, image, out, true);
  ASSERT_TRUE(status.IsFailed());
  EXPECT_STREQ(status.message, "Error s091");
  EXPECT_TRUE(OutUntouched());
}

// The longest Rarev name: ten escaped name bytes, a 3-digit type, the widest
// gap that a 199-character compiled pattern gives, and decimal parameters come
// to 254 characters; the duplicate mark decides.
TEST_F(EntryNameFailure, NameOf260CharactersIsTooLong) {
  image.settings = naming_test::RarevSettings(1, 1, true);
  const std::string compiled = std::string(193, ' ') + "\x01\x02\x03\x04\x05\x06";
  std::memcpy(image.settings.FileNamingMode.CompiledParamsPattern, compiled.c_str(), compiled.size() + 1);
  HandEntry hand(0xFF, "##########", true);
  hand.entry.duplicateOrdinal = 998;
  const std::string longest = NameOf(hand.entry, image);
  EXPECT_EQ(longest.size(), 259u);
  EXPECT_EQ(longest.substr(0, 34), "#23#23#23#23#23#23#23#23#23#23.255");
  EXPECT_EQ(longest.substr(longest.size() - 5), "[999]");
  hand.entry.duplicateOrdinal = 999;
  const Status status = MakeEntryName(hand.entry, image, out, true);
  ASSERT_TRUE(status.IsFailed());
  EXPECT_STREQ(status.message, "Filename too long");
  EXPECT_TRUE(status.flags & Status::Show);
  EXPECT_TRUE(OutUntouched());
  // Without the mark the same entry fits.
  EXPECT_EQ(NameOf(hand.entry, image, false).size(), 254u);
}

TEST(EntryNameDuplicateMark, WrittenOnlyWhenAskedAndAboveZero) {
  TapeImage image;
  image.settings = PlainSettings(0);
  HandEntry hand(0, "hello     ");
  EXPECT_EQ(NameOf(hand.entry, image), "hello.B");
  hand.entry.duplicateOrdinal = 1;
  EXPECT_EQ(NameOf(hand.entry, image), "hello.B[2]");
  EXPECT_EQ(NameOf(hand.entry, image, false), "hello.B");
  hand.entry.duplicateOrdinal = 99999;
  EXPECT_EQ(NameOf(hand.entry, image), "hello.B[100000]");
}

}  // namespace
