#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "helpers/naming_fixtures.h"
#include "tape/rarev_name_reader.h"

namespace {

using naming_test::Unpacked;

struct Parsed {
  RarevRecord record;
  bool found;
};

// Starts from a record full of 0xEE, so that untouched bytes show.
Parsed Parse(const std::string& name) {
  Parsed p;
  std::memset(&p.record, 0xEE, sizeof p.record);
  p.found = true;
  ParseParamsName(name.data(), name.size(), p.record, p.found);
  return p;
}

std::string NameField(const RarevRecord& r) { return std::string(r.header.name, 10); }

void ExpectParams(const RarevRecord& r, unsigned type, unsigned length, unsigned param1, unsigned param2,
                  unsigned body, unsigned flag, unsigned attr) {
  EXPECT_EQ(r.header.type, type);
  EXPECT_EQ(Unpacked(r.header.length), length);
  EXPECT_EQ(Unpacked(r.header.param1), param1);
  EXPECT_EQ(Unpacked(r.header.param2), param2);
  EXPECT_EQ(Unpacked(r.body), body);
  EXPECT_EQ(r.flag, flag);
  EXPECT_EQ(r.attribute, attr);
}

TEST(ParseParamsName, DecimalAndHexadecimalFormsGiveTheSameRecord) {
  for (const char* name :
       {"GAME.3 06912 32768 32768 00000 255 000", "GAME.3 LEN=1B00 STA=8000 VAR=8000 BOD=0000 FLA=FF ATT=00",
        "GAME.3                               1B00 8000 8000 0000 FF 00[2]"}) {
    const Parsed p = Parse(name);
    EXPECT_TRUE(p.found) << name;
    ExpectParams(p.record, 3, 6912, 32768, 32768, 0, 255, 0);
    EXPECT_EQ(NameField(p.record), "GAME      ");
  }
}

TEST(ParseParamsName, OnlyParsedFieldsChange) {
  const Parsed p = Parse("x.0 00001 00002 00003 00004 005 006");
  ASSERT_TRUE(p.found);
  ExpectParams(p.record, 0, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(p.record.kind, 0xEE);
  EXPECT_EQ(Unpacked(p.record.dosDateTime), 0xEEEEEEEEu);
  EXPECT_EQ(Unpacked(p.record.payloadLength), 0xEEEEEEEEu);
  EXPECT_EQ(Unpacked(p.record.reserved), 0xEEEEu);
}

TEST(ParseParamsName, TypeNeedsDigitsUpTo255AndASpace) {
  EXPECT_TRUE(Parse("x.255 00001 00002 00003 00004 005 006").found);
  for (const char* bad : {"x.256 00001 00002 00003 00004 005 006", "x. 00001 00002 00003 00004 005 006",
                          "x.3x 00001 00002 00003 00004 005 006", "x.3", "x.3 ", "x 00001 00002 00003 00004 005 006"}) {
    const Parsed p = Parse(bad);
    EXPECT_FALSE(p.found) << bad;
    EXPECT_EQ(p.record.header.type, 0xEE) << bad;
    EXPECT_EQ(Unpacked(p.record.header.length), 0xEEEEu) << bad;
  }
}

TEST(ParseParamsName, FieldsMustBeCompleteAndFitTheirWidth) {
  // Five numbers are five fields in either radix.
  EXPECT_FALSE(Parse("x.0 00001 00002 00003 00004 005").found);
  // Lower-case digits are no hexadecimal digits.
  EXPECT_FALSE(Parse("x.0 1b00 8000 8000 0000 ff 00").found);
  // 65536 is no 2-byte field, so the decimal pass fails and the hexadecimal
  // pass takes the rightmost four or two digits of each number.
  const Parsed p = Parse("x.0 00001 00002 65536 00004 005 006");
  ASSERT_TRUE(p.found);
  ExpectParams(p.record, 0, 0x0001, 0x0002, 0x5536, 0x0004, 0x05, 0x06);
}

TEST(ParseParamsName, FieldsAreTakenFromTheRight) {
  // The extra digit on the left of a decimal field is plain text.
  const Parsed p = Parse("x.0 100001 00002 00003 00004 005 006");
  ASSERT_TRUE(p.found);
  EXPECT_EQ(Unpacked(p.record.header.length), 1u);
  // Fields may touch.
  const Parsed packed = Parse("x.0 00001000020000300004005006");
  ASSERT_TRUE(packed.found);
  ExpectParams(packed.record, 0, 1, 2, 3, 4, 5, 6);
}

TEST(ParseParamsName, HexadecimalOnlyWhenDecimalIsIncomplete) {
  const Parsed p = Parse("x.0 0064 000A 0064 0000 FF 00");
  ASSERT_TRUE(p.found);
  ExpectParams(p.record, 0, 100, 10, 100, 0, 255, 0);
}

TEST(ParseParamsName, NonPrintableCharacterEndsTheParse) {
  const struct {
    std::string name;
    const char* nameField;  // taken from the whole name
  } cases[] = {
      {std::string("x.0 00001 00002 00003 00004 005\x01" "006"), "x.0 00001 "},
      {std::string("x.0 \x7F" "00001 00002 00003 00004 005 006"), "x.0 ?00001"},
      {std::string("x.0 0064 000A 0064 0000 FF 00\x80"), "x.0 0064 0"},
      {std::string("x.0 \x01 00001 00002 00003 00004 005 006"), "x.0 ? 0000"},
  };
  for (const auto& c : cases) {
    const Parsed p = Parse(c.name);
    EXPECT_FALSE(p.found);
    EXPECT_EQ(p.record.header.type, 0xEE);
    EXPECT_EQ(Unpacked(p.record.header.length), 0xEEEEu);
    EXPECT_EQ(NameField(p.record), c.nameField);
  }
}

TEST(ParseParamsName, NameFieldIsFilledEvenWithoutParameters) {
  EXPECT_EQ(NameField(Parse("hello.B").record), "hello.B   ");
  EXPECT_EQ(NameField(Parse("a#2Fb#2Ac.3 00001 00002 00003 00004 005 006").record), "a/b*c     ");
  EXPECT_EQ(NameField(Parse("#41#4g#4").record), "A#4g#4    ");
  EXPECT_EQ(NameField(Parse("#00#FF.3 00001 00002 00003 00004 005 006").record), std::string("\0\xFF        ", 10));
  EXPECT_EQ(NameField(Parse(std::string("\x01\x80\x7F" "abcdefghijkl")).record), "???abcdefg");
  EXPECT_EQ(NameField(Parse("\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0.3 06912 32768 32768 00000 255 000").record),
            "????      ");
  EXPECT_EQ(NameField(Parse("").record), "          ");
  // A duplicate mark goes before the name is taken.
  EXPECT_EQ(NameField(Parse("hello.B[3]").record), "hello.B   ");
}

}  // namespace
