#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "helpers/fault_os.h"
#include "helpers/naming_fixtures.h"
#include "helpers/scanned_image.h"
#include "support/heap.h"
#include "tape/entry_list.h"
#include "tape/entry_name.h"

namespace {

using naming_test::HandEntry;
using naming_test::ListNames;
using naming_test::NameOf;
using naming_test::PlainSettings;
using naming_test::RarevSettings;
using Names = std::vector<std::string>;

constexpr const char* TooManyForNumbering =
    "This tape image contains more than 255 files.\n"
    "Such images are supported only if numbering mode is off.\n"
    "You have to switch file numbering mode off in Doved settings\n"
    "to work with this image. Sorry :(";

tap_builder::Bytes DataBlocks(int count) {
  tap_builder::Bytes image;
  for (int i = 0; i < count; ++i) {
    const tap_builder::Bytes block = tap_builder::DataBlock({static_cast<std::uint8_t>(i)});
    image.insert(image.end(), block.begin(), block.end());
  }
  return image;
}

TEST(BuildEntryList, NumberingCoversAtMost256Entries) {
  for (int numbering : {1, 2}) {
    const naming_test::ListedImage full = ListNames(DataBlocks(256), PlainSettings(numbering));
    ASSERT_TRUE(full.status.IsOk());
    ASSERT_EQ(full.names.size(), 256u);
    EXPECT_EQ(full.names.back(), numbering == 1 ? "FF!   data256" : "255!   data256");

    const naming_test::ListedImage over = ListNames(DataBlocks(257), PlainSettings(numbering));
    EXPECT_TRUE(over.status.IsFailed());
    EXPECT_TRUE(over.status.flags & Status::Show);
    EXPECT_STREQ(over.status.message, TooManyForNumbering);
  }
}

TEST(BuildEntryList, WithoutNumberingOrInRarevModeMoreEntriesOpen) {
  const naming_test::ListedImage plain = ListNames(DataBlocks(257), PlainSettings(0));
  ASSERT_TRUE(plain.status.IsOk());
  EXPECT_EQ(plain.names.back(), "data257");
  Settings rarev = RarevSettings(1, 1, false);
  rarev.FileNameNumbering = Numbering::Dec;  // ignored in this mode
  const naming_test::ListedImage listed = ListNames(DataBlocks(257), rarev);
  ASSERT_TRUE(listed.status.IsOk());
  EXPECT_EQ(listed.names.back(), "headerless257");
}

TEST(BuildEntryList, RefusesDamageAndMoreEntriesThanNumberingAllows) {
  const struct {
    tap_builder::Bytes image;
    Settings settings;
    bool ok;
  } cases[] = {
      {DataBlocks(3), PlainSettings(2), true},
      {DataBlocks(257), PlainSettings(2), false},
      {tap_builder::Bytes{1}, PlainSettings(0), false},
  };
  for (const auto& c : cases) {
    tap_test::ScannedImage scanned(c.image, c.settings);
    EXPECT_EQ(scanned.Build().IsOk(), c.ok);
  }
}

TEST(BuildEntryList, ScanFailureIsPassedOn) {
  tap_test::ScannedImage scanned(tap_builder::Bytes{5, 0}, PlainSettings(0));
  const Status status = scanned.Build();
  EXPECT_TRUE(status.IsFailed());
  EXPECT_EQ(status.code, E_BAD_ARCHIVE);
}

tap_builder::Bytes HeadersNamed(std::initializer_list<std::pair<const char*, std::uint8_t>> headers) {
  tap_builder::Bytes image;
  for (const auto& [name, type] : headers) {
    const tap_builder::Bytes block = tap_builder::HeaderBlock(type, name, 0, 0, 0);
    image.insert(image.end(), block.begin(), block.end());
  }
  return image;
}

TEST(CountDuplicates, EqualNamesAreMarkedInTapeOrderIgnoringLetterCase) {
  const tap_builder::Bytes image = tap_builder::Concat(
      {naming_test::ExampleImage(), HeadersNamed({{"hello", 0}, {"HELLO", 0}, {"hello", 3}, {"Hello", 0}})});
  EXPECT_EQ(ListNames(image, PlainSettings(0)).names,
            (Names{"hello.B", "screen.C", "data1", "hello.B[2]", "HELLO.B[3]", "hello.C", "Hello.B[4]"}));
  // Numbers make every name unique.
  EXPECT_EQ(ListNames(image, PlainSettings(1)).names[6], "06!   Hello.B");
}

TEST(CountDuplicates, FoldsOnlyTheLettersAToZ) {
  // "[" and "{" or "@" and "`" would meet under a fold of other characters.
  const tap_builder::Bytes image = HeadersNamed({{"a[", 3}, {"a{", 3}, {"A@", 3}, {"a`", 3}, {"A[", 3}});
  EXPECT_EQ(ListNames(image, PlainSettings(0)).names, (Names{"a[.C", "a{.C", "A@.C", "a`.C", "A[.C[2]"}));
  // Past the first eight characters of a name as well.
  const tap_builder::Bytes longer = HeadersNamed({{"abcdefghI[", 3}, {"ABCDEFGHi[", 3}, {"abcdefghi{", 3}});
  EXPECT_EQ(ListNames(longer, PlainSettings(0)).names, (Names{"abcdefghI[.C", "ABCDEFGHi[.C[2]", "abcdefghi{.C"}));
}

// Names that share a hash in the count must still count apart.
TEST(CountDuplicates, DifferentNamesNeverCountAsEqual) {
  const tap_builder::Bytes image = HeadersNamed({{"costarring", 3}, {"liquid", 3}, {"COSTARRING", 3}, {"LIQUID", 3},
                                              {"declinate", 3}, {"liquid", 3}, {"macallums", 3}, {"zinke", 3},
                                              {"altarage", 3}, {"Macallums", 3}});
  EXPECT_EQ(ListNames(image, PlainSettings(0)).names,
            (Names{"costarring.C", "liquid.C", "COSTARRING.C[2]", "LIQUID.C[2]", "declinate.C", "liquid.C[3]",
                   "macallums.C", "zinke.C", "altarage.C", "Macallums.C[2]"}));
}

TEST(CountDuplicates, HeaderAndHeaderlessEntriesCanShareAName) {
  Settings hobeta = PlainSettings(0);
  hobeta.ExtractHobeta = true;
  const tap_builder::Bytes image = tap_builder::Concat({tap_builder::DataBlock({1}), HeadersNamed({{"DATA1", 3}})});
  EXPECT_EQ(ListNames(image, hobeta).names, (Names{"data1.$C", "DATA1.$C[2]"}));
}

TEST(CountDuplicates, RarevNamesCountWholeNamesWithParameters) {
  const tap_builder::Bytes image = tap_builder::Concat({tap_builder::HeaderBlock(3, "x", 1, 2, 3), tap_builder::HeaderBlock(3, "X", 1, 2, 3),
                                                  tap_builder::HeaderBlock(3, "x", 1, 2, 4)});
  const Names names = ListNames(image, RarevSettings("<len> <start> <vars> <body> <flag> <attr>", 1, false)).names;
  EXPECT_EQ(names, (Names{"x.3 0001 0002 0003 0000 FF 00", "X.3 0001 0002 0003 0000 FF 00[2]",
                          "x.3 0001 0002 0004 0000 FF 00"}));
}

// An image of entries made by hand, for the failure paths of counting.
class HandList : public ::testing::Test {
 protected:
  // The image's entries are copies of those made by hand; the blocks they
  // point into stay with the hands.
  TapeImage tape;
  std::vector<std::unique_ptr<HandEntry>> hands;
  fault_os::FaultyOs faults;

  void Add(std::unique_ptr<HandEntry> hand) {
    hand->entry.index = static_cast<std::int32_t>(hands.size());
    ASSERT_TRUE(tape.entries.Add(hand->entry).IsOk());
    hands.push_back(std::move(hand));
  }
  std::vector<std::uint32_t> Ordinals() const {
    std::vector<std::uint32_t> ordinals;
    for (std::uint32_t i = 0; i < tape.entries.count; ++i) ordinals.push_back(tape.entries.items[i].duplicateOrdinal);
    return ordinals;
  }
  // What the host is handed, kept by the count or not, is what MakeEntryName
  // forms: the same name, or the same failure.
  void ExpectListedNamesAsFormed() const {
    for (std::uint32_t i = 0; i < hands.size(); ++i) {
      char listed[EntryNameSize];
      char formed[EntryNameSize];
      const Status fromList = ListedEntryName(tape, i, listed);
      const Status fromEntry = MakeEntryName(tape.entries.items[i], tape, formed, true);
      ASSERT_EQ(fromList.IsOk(), fromEntry.IsOk()) << "entry " << i;
      if (fromEntry.IsOk()) {
        EXPECT_STREQ(listed, formed) << "entry " << i;
      } else {
        EXPECT_STREQ(fromList.message, fromEntry.message) << "entry " << i;
      }
    }
  }
};

TEST_F(HandList, NamingFailureStopsTheCountSilently) {
  tape.settings = PlainSettings(0);
  tape.headerlessDigits = 15;  // every headerless name fails
  Add(std::make_unique<HandEntry>(0, std::string("x         ")));
  Add(std::make_unique<HandEntry>(0, std::string("x         ")));
  Add(std::make_unique<HandEntry>(HandEntry::Headerless{1}));
  Add(std::make_unique<HandEntry>(0, std::string("x         ")));
  for (std::uint32_t i = 0; i < tape.entries.count; ++i) tape.entries.items[i].duplicateOrdinal = 9;
  EXPECT_TRUE(CountDuplicates(tape).IsOk());
  EXPECT_EQ(Ordinals(), (std::vector<std::uint32_t>{0, 1, 0, 0}));
  EXPECT_EQ(tape.namedEntries, 2u);
  ExpectListedNamesAsFormed();
}

TEST_F(HandList, RunningOutOfMemoryLeavesACorrectPrefix) {
  tape.settings = PlainSettings(0);
  for (int i = 0; i < 6; ++i) Add(std::make_unique<HandEntry>(0, std::string(i % 2 ? "A         " : "a         ")));
  const std::vector<std::uint32_t> full = {0, 1, 2, 3, 4, 5};
  ASSERT_TRUE(CountDuplicates(tape).IsOk());
  ASSERT_EQ(Ordinals(), full);
  for (const auto fault : {fault_os::Op::Allocate, fault_os::Op::Reallocate}) {
    bool failedSomewhere = false;
    for (unsigned nth = 1; nth <= 30; ++nth) {
      // As on a newly scanned image, no names are kept yet, so that they grow again.
      MemFree(tape.listedNames.items);
      tape.listedNames.items = nullptr;
      tape.listedNames.count = tape.listedNames.capacity = 0;
      faults.Clear();
      faults.FailNth(fault, nth);
      EXPECT_TRUE(CountDuplicates(tape).IsOk());
      faults.Clear();
      const std::vector<std::uint32_t> ordinals = Ordinals();
      std::size_t counted = 0;
      while (counted < ordinals.size() && ordinals[counted] == full[counted]) ++counted;
      for (std::size_t i = counted; i < ordinals.size(); ++i) EXPECT_EQ(ordinals[i], 0u) << "fault " << nth;
      EXPECT_LE(tape.namedEntries, counted) << "fault " << nth;
      ExpectListedNamesAsFormed();
      failedSomewhere |= counted < full.size();
    }
    EXPECT_TRUE(failedSomewhere);
  }
}

// The longest Rarev name fits without a mark and with "[999]", not with
// "[1000]": a kept name is checked against the host's field as a formed one is.
TEST_F(HandList, KeptNamesThatTheirMarkMakesTooLongFail) {
  tape.settings = RarevSettings(1, 1, true);
  const std::string compiled = std::string(193, ' ') + "\x01\x02\x03\x04\x05\x06";
  std::memcpy(tape.settings.FileNamingMode.CompiledParamsPattern, compiled.c_str(), compiled.size() + 1);
  for (int i = 0; i < 1001; ++i) Add(std::make_unique<HandEntry>(0xFF, std::string("##########"), true));
  ASSERT_TRUE(CountDuplicates(tape).IsOk());
  ASSERT_EQ(tape.namedEntries, 1001u);
  char name[EntryNameSize];
  ASSERT_TRUE(ListedEntryName(tape, 998, name).IsOk());
  EXPECT_EQ(std::strlen(name), 259u);
  const Status status = ListedEntryName(tape, 999, name);
  ASSERT_TRUE(status.IsFailed());
  EXPECT_STREQ(status.message, "Filename too long");
  EXPECT_TRUE(status.flags & Status::Show);
  ExpectListedNamesAsFormed();
}

// Against the obvious quadratic count, on many names drawn from a few.
TEST(CountDuplicates, MatchesPairwiseCountingOnManyNames) {
  std::mt19937 random(20240601);
  const char* stems[] = {"game", "GAME", "Game", "loader", "LOADER", "scr", "a/b", "x#1"};
  tap_builder::Bytes image;
  for (int i = 0; i < 3000; ++i) {
    const tap_builder::Bytes block =
        random() % 7 == 0 ? tap_builder::DataBlock({1})
                          : tap_builder::HeaderBlock(random() % 2 ? 0 : 3, stems[random() % 8], 0, 0, 0);
    image.insert(image.end(), block.begin(), block.end());
  }
  tap_test::ScannedImage scanned(image, PlainSettings(0));
  ASSERT_TRUE(scanned.Build().IsOk());
  std::vector<std::string> folded;
  for (std::uint32_t j = 0; j < scanned.Count(); ++j) {
    std::string name = NameOf(scanned.Entry(j), scanned.Tape(), false);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    std::uint32_t earlier = 0;
    for (std::uint32_t i = 0; i < j; ++i) earlier += folded[i] == name;
    ASSERT_EQ(scanned.Entry(j).duplicateOrdinal, earlier) << "entry " << j << " " << name;
    folded.push_back(name);
  }
}

}  // namespace
