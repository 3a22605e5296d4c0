// UTF-8 and UTF-16, as the wide entry points and the Windows calls convert paths.
#include "os/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Pair {
  std::string utf8;
  std::u16string utf16;
};

TEST(UnicodeText, EveryCharacterGoesBothWaysUnchanged) {
  const Pair pairs[] = {
      {"", u""},
      {"Z:\\tmp\\a.tap", u"Z:\\tmp\\a.tap"},
      {"\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0", u"\u0418\u0433\u0440\u0430"},               // Cyrillic, two bytes each
      {"\xE2\x9C\x93\xE6\xBC\xA2", u"\u2713\u6F22"},                                     // three bytes each
      {"\xF0\x9F\x8E\xAE", std::u16string{char16_t(0xD83C), char16_t(0xDFAE)}},        // a surrogate pair, four bytes
      {"a\xED\xA0\x80z", std::u16string{u'a', char16_t(0xD800), u'z'}},                // a lone surrogate
  };
  for (const Pair& pair : pairs) {
    // Exactly the room the text and its NUL need, and one unit less.
    const auto units = static_cast<std::uint32_t>(pair.utf16.size() + 1);
    const auto bytes = static_cast<std::uint32_t>(pair.utf8.size() + 1);
    char16_t wide[16];
    EXPECT_FALSE(os::Utf8ToUtf16(pair.utf8.c_str(), wide, units - 1)) << pair.utf8;
    ASSERT_TRUE(os::Utf8ToUtf16(pair.utf8.c_str(), wide, units)) << pair.utf8;
    EXPECT_EQ(std::u16string(wide), pair.utf16) << pair.utf8;
    EXPECT_EQ(os::Utf16Length(wide), pair.utf16.size());
    char narrow[32];
    EXPECT_FALSE(os::Utf16ToUtf8(pair.utf16.c_str(), narrow, bytes - 1)) << pair.utf8;
    ASSERT_TRUE(os::Utf16ToUtf8(pair.utf16.c_str(), narrow, bytes)) << pair.utf8;
    EXPECT_EQ(std::string(narrow), pair.utf8);
  }
}

TEST(UnicodeText, ABytesOfNoUtf8FormBecomeOneReplacementEach) {
  char16_t wide[16];
  ASSERT_TRUE(os::Utf8ToUtf16("a\xFF\xC0\xAF\xE2\x9C", wide, 16));
  EXPECT_EQ(std::u16string(wide), u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(UnicodeText, TheLongestHostPathFitsItsUtf8Buffer) {
  const std::u16string path(os::MaxPathUnits - 1, u'\u6F22');
  std::string utf8(os::MaxPathBytes, '\0');
  EXPECT_TRUE(os::Utf16ToUtf8(path.c_str(), utf8.data(), os::MaxPathBytes));
}

}  // namespace
