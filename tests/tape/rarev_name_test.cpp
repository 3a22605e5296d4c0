#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/naming_fixtures.h"

namespace {

using naming_test::ExampleImage;
using naming_test::ListNames;
using naming_test::ListedNames;
using naming_test::RarevSettings;
using Names = std::vector<std::string>;

std::string Spaces(std::size_t n) { return std::string(n, ' '); }

TEST(RarevEntryName, WorkedExamplesInHexadecimalAndDecimal) {
  EXPECT_EQ(ListedNames(ExampleImage(), RarevSettings(1, 1, false)),
            (Names{"hello.0" + Spaces(31) + "0064 000A 0064 0000 FF 00",
                   "screen.3" + Spaces(31) + "1B00 4000 8000 0000 FF 00", "headerless1"}));
  EXPECT_EQ(ListedNames(ExampleImage(), RarevSettings(1, 1, true)),
            (Names{"hello.0" + Spaces(31) + "00100 00010 00100 00000 255 000",
                   "screen.3" + Spaces(31) + "06912 16384 32768 00000 255 000", "headerless1"}));
  EXPECT_EQ(ListedNames(ExampleImage(), RarevSettings(2, 1, false))[1],
            "screen.3" + Spaces(31) + "LEN=1B00 STA=4000 VAR=8000 BOD=0000 FLA=FF ATT=00");
}

TEST(RarevEntryName, FixedFontGapPutsParametersInOneColumn) {
  const Names names = ListedNames(ExampleImage(), RarevSettings(1, 3, false));
  EXPECT_EQ(names[0], "hello.0" + Spaces(26) + "0064 000A 0064 0000 FF 00");
  EXPECT_EQ(names[1], "screen.3" + Spaces(25) + "1B00 4000 8000 0000 FF 00");
}

TEST(RarevEntryName, VariableFontGapFollowsCharacterWidths) {
  const Names names = ListedNames(ExampleImage(), RarevSettings(1, 2, false));
  EXPECT_EQ(names[0], "hello.0" + Spaces(22) + "0064 000A 0064 0000 FF 00");
  EXPECT_EQ(names[1], "screen.3" + Spaces(19) + "1B00 4000 8000 0000 FF 00");
  // Narrow "i" and "l" leave more room than wide "W" and "M".
  const tap_builder::Bytes image = tap_builder::Concat(
      {tap_builder::HeaderBlock(3, "iiiiiiiiii", 1, 2, 3), tap_builder::HeaderBlock(3, "WWWWWWWWWW", 1, 2, 3)});
  const Names widths = ListedNames(image, RarevSettings(1, 2, false));
  // W = 10 * 56 + 69 + 137 = 766 gives (2112 - 766 + 33) / 66 + 1 = 21; W = 2536 leaves no room.
  EXPECT_EQ(widths[0], "iiiiiiiiii.3" + Spaces(21) + "0001 0002 0003 0000 FF 00");
  EXPECT_EQ(widths[1], "WWWWWWWWWW.3" + Spaces(1) + "0001 0002 0003 0000 FF 00");
}

TEST(RarevEntryName, GapIsAtLeastOneSpace) {
  const tap_builder::Bytes image = tap_builder::HeaderBlock(200, "longname", 1, 2, 3);
  for (int gap = 1; gap <= 3; ++gap) {
    EXPECT_EQ(ListedNames(image, RarevSettings("<len>-<start>-<vars>-<body>-<flag>-<attr>", gap, false))[0],
              "longname.200 0001-0002-0003-0000-FF-00")
        << "gap " << gap;
  }
}

TEST(RarevEntryName, FlagComesFromTheDataBlock) {
  const tap_builder::Bytes image = tap_builder::Concat({tap_builder::HeaderBlock(3, "a", 2, 0, 0),
                                                  tap_builder::DataBlock(tap_builder::Pattern(2), 0x42),
                                                  tap_builder::HeaderBlock(3, "b", 2, 0, 0)});
  const Names names = ListedNames(image, RarevSettings("<len> <start> <vars> <body> <flag> <attr>", 1, true));
  EXPECT_EQ(names[0], "a.3 00002 00000 00000 00000 066 000");
  EXPECT_EQ(names[1], "b.3 00002 00000 00000 00000 255 000");
}

TEST(RarevEntryName, PrinterAndConsoleNamesAreEscaped) {
  const tap_builder::Bytes image =
      tap_builder::Concat({tap_builder::HeaderBlock(0, "PRN", 0, 0, 0), tap_builder::HeaderBlock(0, "Con", 0, 0, 0),
                        tap_builder::HeaderBlock(0, "prn1", 0, 0, 0), tap_builder::HeaderBlock(0, "con", 0, 0, 0)});
  const Names names = ListedNames(image, RarevSettings("<len> <start> <vars> <body> <flag> <attr>", 1, false));
  EXPECT_EQ(names[0].substr(0, 11), "#50#52#4E.0");
  EXPECT_EQ(names[1].substr(0, 11), "#43#6F#6E.0");
  EXPECT_EQ(names[2].substr(0, 7), "prn1.0 ");
  EXPECT_EQ(names[3].substr(0, 11), "#63#6F#6E.0");
}

TEST(RarevEntryName, EscapedCharactersCountInTheVariableGap) {
  const tap_builder::Bytes image = tap_builder::HeaderBlock(3, "a/b", 1, 2, 3);
  const Names names = ListedNames(image, RarevSettings(1, 2, false));
  // a 137, # 137, 2 137, F 151, b 137, . 69, 3 137: W = 905; (2112 - 905 + 33) / 66 + 1 = 19.
  EXPECT_EQ(names[0], "a#2Fb.3" + Spaces(19) + "0001 0002 0003 0000 FF 00");
}

}  // namespace
