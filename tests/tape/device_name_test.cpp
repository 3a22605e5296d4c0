#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "helpers/naming_fixtures.h"
#include "tape/device_name.h"
#include "tape/entry_name_reader.h"
#include "tape/rarev_name_reader.h"

namespace {

using naming_test::ListNames;
using naming_test::PlainSettings;
using naming_test::RarevSettings;

std::size_t DeviceLength(const std::string& text) { return DeviceNameLength(text.data(), text.size()); }

TEST(DeviceName, RecognisesEveryDeviceInAnyCase) {
  for (const char* name : {"CON", "prn", "Aux", "nUL", "COM1", "com9", "LPT1", "lpt9", "Lpt5"}) {
    EXPECT_EQ(DeviceLength(name), std::strlen(name)) << name;
  }
}

TEST(DeviceName, LooksOnlyAtTheTextBeforeTheFirstDotWithoutTrailingSpaces) {
  EXPECT_EQ(DeviceLength("CON.X"), 3u);
  EXPECT_EQ(DeviceLength("nul.a.b"), 3u);
  EXPECT_EQ(DeviceLength("COM3  .x"), 4u);
  EXPECT_EQ(DeviceLength("con."), 3u);
}

TEST(DeviceName, LeavesOtherNamesAlone) {
  for (const char* name : {"", "CO", "CONS", "CON1", "COM", "COM0", "LPT", "LPT10", "COMA", " CON", "C ON", "CON X",
                           "xCON", "AUX_", "NULL", "PRN1", "con#00"}) {
    EXPECT_EQ(DeviceLength(name), 0u) << '"' << name << '"';
  }
}

std::string ListedName(const char* tapeName, std::uint8_t type, const Settings& settings) {
  const naming_test::ListedImage listed = ListNames(tap_builder::HeaderBlock(type, tapeName, 1, 2, 3), settings);
  EXPECT_TRUE(listed.status.IsOk());
  return listed.names.size() == 1 ? listed.names[0] : "<no entry>";
}

struct ReadBack {
  std::string name;  // the 10 name bytes
  std::uint8_t typeChar;
  bool hobetaMark;
};

ReadBack ReadPlain(const std::string& listed, const Settings& settings) {
  const ParsedEntryName parsed = ParseEntryName(listed.c_str(), settings);
  return {std::string(reinterpret_cast<const char*>(parsed.name), 10), parsed.typeChar, parsed.hobetaMark};
}

TEST(DeviceNameGuard, PlainNamesWriteTheDevicePartEscapedAndReadBack) {
  const Settings plain = PlainSettings(0);
  struct Case {
    const char* tapeName;
    std::uint8_t type;
    const char* listed;
  } cases[] = {
      {"CON", 0, "#43#4F#4E.B"},
      {"nul", 3, "#6E#75#6C.C"},
      {"Aux", 1, "#41#75#78.#01"},
      {"PRN", 3, "#50#52#4E.C"},
      {"COM1", 0, "#43#4F#4D#31.B"},
      {"lpt9", 3, "#6C#70#74#39.C"},
      {"CON.X", 0, "#43#4F#4E.X.B"},
      {"con .txt", 3, "#63#6F#6E .txt.C"},
      {"CONSOLE", 0, "CONSOLE.B"},
      {"COM0", 0, "COM0.B"},
  };
  for (const Case& c : cases) {
    const std::string listed = ListedName(c.tapeName, c.type, plain);
    EXPECT_EQ(listed, c.listed) << c.tapeName;
    const ReadBack back = ReadPlain(listed, plain);
    EXPECT_EQ(back.name, (std::string(c.tapeName) + "          ").substr(0, 10)) << listed;
  }
}

TEST(DeviceNameGuard, AppliesBehindANumberAndInHobetaNames) {
  Settings settings = PlainSettings(2);
  EXPECT_EQ(ListedName("con", 0, settings), "000!   #63#6F#6E.B");
  settings.FileNameNumbering = Numbering::None;
  settings.ExtractHobeta = true;
  const std::string hobeta = ListedName("nul", 3, settings);
  EXPECT_EQ(hobeta, "#6E#75#6C.$C");
  const ReadBack back = ReadPlain(hobeta, settings);
  EXPECT_EQ(back.name, "nul       ");
  EXPECT_TRUE(back.hobetaMark);
  EXPECT_EQ(back.typeChar, 'C');
  // Cut to eight characters, "lpt1    xy" leaves "lpt1    ", which opens LPT1.
  EXPECT_EQ(ListedName("lpt1    xy", 0, settings), "#6C#70#74#31    .$B");
}

TEST(DeviceNameGuard, DuplicateMarksDoNotUndoIt) {
  const tap_builder::Bytes image =
      tap_builder::Concat({tap_builder::HeaderBlock(0, "CON", 0, 0, 0), tap_builder::HeaderBlock(0, "con", 0, 0, 0)});
  const naming_test::ListedImage listed = ListNames(image, PlainSettings(0));
  ASSERT_EQ(listed.names.size(), 2u);
  EXPECT_EQ(listed.names[0], "#43#4F#4E.B");
  EXPECT_EQ(listed.names[1], "#63#6F#6E.B");  // different escapes, so no mark is needed
}

TEST(DeviceNameGuard, RarevNamesCoverEveryDeviceAndReadBack) {
  const Settings settings = RarevSettings(1, 1, false);
  for (const char* device : {"AUX", "nul", "Com4", "LPT2", "NUL.x"}) {
    const std::string listed = ListedName(device, 3, settings);
    std::string expected;
    const std::size_t length = std::strcspn(device, ".");
    for (std::size_t i = 0; i < length; ++i) {
      char escape[4];
      std::snprintf(escape, sizeof escape, "#%02X", static_cast<unsigned char>(device[i]));
      expected += escape;
    }
    expected += std::string(device + length) + ".3 ";
    EXPECT_EQ(listed.substr(0, expected.size()), expected) << device;

    RarevRecord record{};
    bool found = false;
    ParseParamsName(listed.c_str(), listed.size(), record, found);
    EXPECT_TRUE(found) << listed;
    EXPECT_EQ(std::string(record.header.name, 10), (std::string(device) + "          ").substr(0, 10));
    EXPECT_EQ(record.header.type, 3);
    EXPECT_EQ(naming_test::Unpacked(record.header.length), 1u);
  }
}

}  // namespace
