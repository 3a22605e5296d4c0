#include <gtest/gtest.h>

#include <string>

#include "helpers/naming_fixtures.h"
#include "tape/entry_name_reader.h"

namespace {

using naming_test::PlainSettings;

struct Parsed {
  std::string name;  // all 10 bytes
  std::uint8_t typeChar;
  bool hobetaMark;
  std::size_t nameLength;
  std::size_t extLength;
};

Parsed Parse(const char* path, const Settings& settings) {
  const ParsedEntryName parsed = ParseEntryName(path, settings);
  return {std::string(reinterpret_cast<const char*>(parsed.name), 10), parsed.typeChar, parsed.hobetaMark,
          parsed.nameLength, parsed.extLength};
}

Settings WithDetectHobeta(bool on) {
  Settings s = PlainSettings(0);
  s.DetectHobeta = on;
  return s;
}

TEST(ParseEntryName, ListedFormsReadBackToNameAndType) {
  const Settings s = WithDetectHobeta(true);
  for (const char* listed : {"hello.B", "00!   hello.B", "000!   hello.B", "hello.B[2]", "0A!   hello.B[12]",
                             "dir\\hello.B", "a/b/hello.B"}) {
    const Parsed p = Parse(listed, s);
    EXPECT_EQ(p.name, "hello     ") << listed;
    EXPECT_EQ(p.typeChar, 'B') << listed;
    EXPECT_EQ(p.extLength, 1u) << listed;
    EXPECT_EQ(p.nameLength, 5u) << listed;
    EXPECT_FALSE(p.hobetaMark) << listed;
  }
}

TEST(ParseEntryName, EscapesAreDecoded) {
  const Settings s = WithDetectHobeta(true);
  EXPECT_EQ(Parse("a#2Fb#2Ac.B", s).name, "a/b*c     ");
  const Parsed type = Parse("nums.#01", s);
  EXPECT_EQ(type.typeChar, 1);
  EXPECT_EQ(type.extLength, 1u);
  EXPECT_EQ(Parse("#00#7F#FF#23.C", s).name, std::string("\0\x7F\xFF#      ", 10));
}

TEST(ParseEntryName, HobetaMarkOnlyWithDetectHobeta) {
  const Parsed on = Parse("hello.$B", WithDetectHobeta(true));
  EXPECT_TRUE(on.hobetaMark);
  EXPECT_EQ(on.typeChar, 'B');
  EXPECT_EQ(on.extLength, 2u);
  const Parsed off = Parse("hello.$B", WithDetectHobeta(false));
  EXPECT_FALSE(off.hobetaMark);
  EXPECT_EQ(off.typeChar, '$');
  EXPECT_EQ(off.extLength, 2u);
  // A "$" alone keeps the default type.
  const Parsed bare = Parse("x.$", WithDetectHobeta(true));
  EXPECT_TRUE(bare.hobetaMark);
  EXPECT_EQ(bare.typeChar, 'C');
  EXPECT_EQ(bare.extLength, 1u);
}

TEST(ParseEntryName, NamesWithoutExtension) {
  const Parsed p = Parse("data1", WithDetectHobeta(true));
  EXPECT_EQ(p.typeChar, 'C');
  EXPECT_EQ(p.extLength, 0u);
  EXPECT_EQ(p.name, "data1     ");
  const Parsed dotFirst = Parse(".B", WithDetectHobeta(true));
  EXPECT_EQ(dotFirst.name, "          ");
  EXPECT_EQ(dotFirst.nameLength, 0u);
  EXPECT_EQ(dotFirst.typeChar, 'B');
}

TEST(ParseEntryName, ExtensionIsAfterTheLastDotAndCounted) {
  const Parsed p = Parse("abc..C", WithDetectHobeta(true));
  EXPECT_EQ(p.name, "abc.      ");
  const Parsed three = Parse("SCREEN.COD", WithDetectHobeta(true));
  EXPECT_EQ(three.typeChar, 'C');
  EXPECT_EQ(three.extLength, 3u);
  EXPECT_EQ(Parse("x.#41#42", WithDetectHobeta(true)).extLength, 2u);
}

TEST(ParseEntryName, LongNamesKeepTenBytesAndCountAll) {
  const Parsed p = Parse("abcdefghijklmn#21.B", WithDetectHobeta(true));
  EXPECT_EQ(p.name, "abcdefghij");
  EXPECT_EQ(p.nameLength, 15u);
}

TEST(ParseEntryName, DuplicateMarkNeedsBracketsAndDigits) {
  const Settings s = WithDetectHobeta(true);
  EXPECT_EQ(Parse("x.B[]", s).typeChar, 'B');
  EXPECT_EQ(Parse("x.B[]", s).extLength, 3u);  // "B[]" stays the extension
  EXPECT_EQ(Parse("x.B2]", s).extLength, 3u);
  EXPECT_EQ(Parse("x.B[a]", s).extLength, 4u);
  // A mark cannot reach into the number prefix.
  Settings bracket = PlainSettings(0, "[");
  bracket.DetectHobeta = true;
  EXPECT_EQ(Parse("00[5]", bracket).name, "5]        ");
  EXPECT_EQ(Parse("00[[5]", bracket).name, "          ");
}

TEST(DecodeNameChar, EscapesNeedTwoUpperCaseDigitsBeforeTheEnd) {
  auto decode = [](const std::string& text) {
    std::string bytes;
    const char* p = text.data();
    std::uint8_t byte;
    while (DecodeNameChar(p, text.data() + text.size(), &byte)) bytes += static_cast<char>(byte);
    return bytes;
  };
  EXPECT_EQ(decode("#41#7e#4"), "A#7e#4");
  EXPECT_EQ(decode("#"), "#");
  EXPECT_EQ(decode("#G1x"), "#G1x");
  EXPECT_EQ(decode("\x80\xFF#80"), "??\x80");
  // One "?" for each character beyond ASCII, one for each byte of no UTF-8 form.
  EXPECT_EQ(decode("\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0.C"), "????.C");  // Cyrillic "Igra"
  EXPECT_EQ(decode("a\xE2\x9C\x93\xF0\x9F\x8E\xAE\xE6\xBC\xA2" "b"), "a???b");  // a check mark, an emoji, a CJK sign
  EXPECT_EQ(decode("\xED\xA0\x80"), "?");  // a lone surrogate, as a Windows name may hold one
  EXPECT_EQ(decode("\xC0\xAF\xE0\x80\xAF\xF4\x90\x80\x80"), "?????????");  // overlong, past U+10FFFF
  EXPECT_EQ(decode("\xE2\x9C"), "??");  // cut short by the end
  EXPECT_EQ(decode(std::string("\x01 \x7F", 3)), std::string("\x01 \x7F", 3));
}

TEST(DecodeNameChar, NullOutputOnlySkips) {
  const std::string text = "#41b";
  const char* p = text.data();
  EXPECT_TRUE(DecodeNameChar(p, text.data() + text.size(), nullptr));
  EXPECT_EQ(p, text.data() + 3);
  EXPECT_TRUE(DecodeNameChar(p, text.data() + text.size(), nullptr));
  EXPECT_FALSE(DecodeNameChar(p, text.data() + text.size(), nullptr));
  EXPECT_EQ(p, text.data() + text.size());
}

TEST(SkipNumberPrefix, TwoOrThreeDigitsAndTheSeparator) {
  const Settings s = PlainSettings(0);  // numbering itself does not matter
  EXPECT_EQ(SkipNumberPrefix("00!   x", s), 6u);
  EXPECT_EQ(SkipNumberPrefix("FF!   x", s), 6u);
  EXPECT_EQ(SkipNumberPrefix("255!   x", s), 7u);
  EXPECT_EQ(SkipNumberPrefix("ff!   x", s), 0u);
  EXPECT_EQ(SkipNumberPrefix("0FF!   x", s), 0u);  // hexadecimal only with two digits
  EXPECT_EQ(SkipNumberPrefix("00!  x", s), 0u);
  EXPECT_EQ(SkipNumberPrefix("0!   x", s), 0u);
  EXPECT_EQ(SkipNumberPrefix("", s), 0u);
  EXPECT_EQ(SkipNumberPrefix("12!   ", s), 6u);
}

TEST(SkipNumberPrefix, EmptySeparatorTakesAnyTwoHexCharacters) {
  const Settings s = PlainSettings(0, "");
  EXPECT_EQ(SkipNumberPrefix("ABCDEF.B", s), 2u);
  EXPECT_EQ(SkipNumberPrefix("9x", s), 0u);
  EXPECT_EQ(SkipNumberPrefix("09", s), 2u);
}

TEST(SkipNumberPrefix, EscapedSeparatorIsNotRecognised) {
  const Settings s = PlainSettings(0, "#");
  EXPECT_EQ(SkipNumberPrefix("00#23x", s), 3u);  // "#" as stored matches; the "23x" is left to the name
  const Settings colon = PlainSettings(0, ":");
  EXPECT_EQ(SkipNumberPrefix("00#3Ax", colon), 0u);
}

TEST(IsHeaderlessName, RarevNamesByTextAlone) {
  const Settings s = PlainSettings(2);
  EXPECT_TRUE(IsHeaderlessName("headerless7", false, s));
  EXPECT_TRUE(IsHeaderlessName("headerless0123456789", false, s));
  EXPECT_FALSE(IsHeaderlessName("headerless01234567890", true, s));
  EXPECT_FALSE(IsHeaderlessName("headerless", true, s));
  EXPECT_FALSE(IsHeaderlessName("headerlessX", true, s));
  EXPECT_FALSE(IsHeaderlessName("headerless1.C", true, s));
  EXPECT_FALSE(IsHeaderlessName("Headerless1", true, s));
}

TEST(IsHeaderlessName, DataNamesOnlyWithTheHeaderlessTime) {
  const Settings s = PlainSettings(2);
  EXPECT_TRUE(IsHeaderlessName("data1", true, s));
  EXPECT_FALSE(IsHeaderlessName("data1", false, s));
  EXPECT_TRUE(IsHeaderlessName("002!   data12", true, s));
  EXPECT_TRUE(IsHeaderlessName("0A!   data0123456789", true, s));
  EXPECT_FALSE(IsHeaderlessName("data01234567890", true, s));
  EXPECT_FALSE(IsHeaderlessName("data", true, s));
  EXPECT_FALSE(IsHeaderlessName("data1.$C", true, s));
  EXPECT_FALSE(IsHeaderlessName("Data1", true, s));
  EXPECT_FALSE(IsHeaderlessName("x data1", true, s));
}

}  // namespace
