#include "helpers/naming_fixtures.h"
#include "helpers/scanned_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/params_pattern.h"
#include "tape/entry_list.h"
#include "tape/entry_name.h"

namespace naming_test {

Settings PlainSettings(int numbering, const char* separator) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = static_cast<Numbering>(numbering);
  std::memset(s.FileNameNumberingSeparator, 0, SeparatorSize);
  std::strncpy(s.FileNameNumberingSeparator, separator, SeparatorSize - 1);
  return s;
}

Settings RarevSettings(const char* patternText, int gap, bool decimal) {
  Settings s = DefaultSettings();
  s.RarevCompatible = true;
  s.FileNamingMode.ParamsGap = static_cast<GapMode>(gap);
  s.FileNamingMode.ParamsInDecimal = decimal ? 1 : 0;
  EXPECT_TRUE(CompileParamsPattern(patternText, s.FileNamingMode.CompiledParamsPattern)) << patternText;
  return s;
}

Settings RarevSettings(int pattern, int gap, bool decimal) {
  const Settings defaults = DefaultSettings();
  return RarevSettings(pattern == 2 ? defaults.ParamsPattern2 : defaults.ParamsPattern1, gap, decimal);
}

tap_builder::Bytes ExampleImage() {
  using namespace tap_builder;
  return Concat({HeaderBlock(0, "hello", 100, 10, 100), DataBlock(Pattern(100)),
                 HeaderBlock(3, "screen", 6912, 16384, 32768), DataBlock(Pattern(6912)), DataBlock(Pattern(50))});
}

namespace {

std::string NameIfFormed(const Status& status, const char* name) {
  EXPECT_TRUE(status.IsOk()) << (status.message != nullptr ? status.message : "no message");
  return status.IsOk() ? std::string(name) : std::string("<failed>");
}

}  // namespace

ListedImage ListNames(tap_builder::Bytes image, const Settings& settings) {
  tap_test::ScannedImage scanned(std::move(image), settings);
  ListedImage listed{scanned.Build(), {}};
  if (listed.status.IsOk()) {
    for (std::uint32_t i = 0; i < scanned.Count(); ++i) {
      char name[EntryNameSize];
      listed.names.push_back(NameIfFormed(ListedEntryName(scanned.Tape(), i, name), name));
    }
  }
  return listed;
}

std::vector<std::string> ListedNames(tap_builder::Bytes image, const Settings& settings) {
  const ListedImage listed = ListNames(std::move(image), settings);
  EXPECT_TRUE(listed.status.IsOk());
  return listed.names;
}

std::string NameOf(const TapeEntry& entry, const TapeImage& image, bool withDuplicateMark) {
  char name[EntryNameSize];
  return NameIfFormed(MakeEntryName(entry, image, name, withDuplicateMark), name);
}

HandEntry::HandEntry(std::uint8_t type, const std::string& name10, bool rarev)
    : block_(tap_builder::HeaderBlock(type, tap_builder::AsBytes(name10), 0, 0, 0x8000)) {
  entry.headerBlock = block_.data() + 2;
  entry.hasTimeParams = 1;
  entry.hasRarevRecord = rarev ? 1 : 0;
}

HandEntry::HandEntry(Headerless headerless, bool rarev) {
  entry.headerlessNumber = headerless.number;
  entry.headerlessMarker = 1;
  entry.hasRarevRecord = rarev ? 1 : 0;
}

}  // namespace naming_test
