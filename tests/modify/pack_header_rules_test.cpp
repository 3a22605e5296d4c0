// How a source file's name, creation time and contents become its tape
// header and data, checked on the plan before anything touches a file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "modify/tape_file_plan.h"
#include "settings/settings.h"
#include "tape/tape_entry.h"
#include "tape/time_code.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint64_t PairTime(std::uint16_t low, std::uint16_t high) {
  TapeEntry entry{};
  entry.hasTimeParams = 1;
  entry.timeParamLow = low;
  entry.timeParamHigh = high;
  return EncodeTimeCode(entry);
}

constexpr std::uint64_t NoTimeCode = 0x01D9000000000000ULL;  // an ordinary creation time

Settings PackSettings() {
  Settings settings = DefaultSettings();
  settings.DetectHobeta = true;
  settings.SmartLenDetect = true;
  return settings;
}

struct Planned {
  Status status;
  TapeFilePlan plan;
};

Planned Plan(const char* name, const Bytes& contents, std::uint64_t creationTime = NoTimeCode,
             const Settings& settings = PackSettings()) {
  Planned result{};
  result.status = PlanTapeFile(name, contents.data(), static_cast<std::uint32_t>(contents.size()), creationTime,
                               settings, result.plan);
  return result;
}

std::string NameOf(const TapeHeader& header) { return std::string(header.name, sizeof header.name); }

void ExpectHeader(const TapeFilePlan& plan, std::uint8_t type, const char* name, std::uint16_t length,
                  std::uint16_t param1, std::uint16_t param2) {
  ASSERT_TRUE(plan.hasHeader);
  EXPECT_EQ(plan.header.type, type);
  EXPECT_EQ(NameOf(plan.header), name);
  EXPECT_EQ(plan.header.length, length);
  EXPECT_EQ(plan.header.param1, param1);
  EXPECT_EQ(plan.header.param2, param2);
}

Bytes Program(std::size_t length) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
  return bytes;
}

Bytes WithTrailer(Bytes bytes, std::uint16_t line) {
  bytes.insert(bytes.end(), {0x80, 0xAA, static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(line >> 8)});
  return bytes;
}

Bytes PaddedTo(Bytes bytes, std::size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

// A hobeta file: 17-byte header with a correct checksum, then `data` padded to whole sectors.
Bytes HobetaFile(const char* name8, char type, std::uint16_t start, std::uint16_t length, const Bytes& data,
                 int sectorsOverride = -1) {
  const std::size_t sectors = (data.size() + 255) / 256;
  Bytes file(17 + sectors * 256, 0);
  std::memcpy(file.data(), name8, 8);
  file[8] = static_cast<std::uint8_t>(type);
  file[9] = static_cast<std::uint8_t>(start);
  file[10] = static_cast<std::uint8_t>(start >> 8);
  file[11] = static_cast<std::uint8_t>(length);
  file[12] = static_cast<std::uint8_t>(length >> 8);
  file[14] = static_cast<std::uint8_t>(sectorsOverride >= 0 ? sectorsOverride : static_cast<int>(sectors));
  unsigned sum = 0;
  for (int i = 0; i < 15; ++i) sum += file[i];
  const unsigned checksum = (257 * sum + 105) & 0xFFFF;
  file[15] = static_cast<std::uint8_t>(checksum);
  file[16] = static_cast<std::uint8_t>(checksum >> 8);
  if (!data.empty()) std::memcpy(file.data() + 17, data.data(), data.size());
  return file;
}

TEST(PackHeaderRulesTest, ProgramWithoutTimeCodeTakesItsSizeForLengthAndVariables) {
  const Planned p = Plan("LOADER.B", Program(100));
  ASSERT_TRUE(p.status.IsOk());
  ExpectHeader(p.plan, ProgramType, "LOADER    ", 100, 0x8000, 100);
  EXPECT_EQ(p.plan.dataOffset, 0u);
  EXPECT_EQ(p.plan.dataLength, 100u);
  EXPECT_EQ(p.plan.dataFlag, 0xFF);
}

TEST(PackHeaderRulesTest, ExtractedProgramDropsItsTrailerAndAnyZeroFillBehindIt) {
  const Bytes extracted = WithTrailer(Program(100), 10);
  const Planned exact = Plan("LOADER.B", extracted, PairTime(100, 100));
  ExpectHeader(exact.plan, ProgramType, "LOADER    ", 100, 10, 100);
  EXPECT_EQ(exact.plan.dataLength, 100u);

  const Planned sector = Plan("LOADER.B", PaddedTo(extracted, 256), PairTime(100, 100));
  ExpectHeader(sector.plan, ProgramType, "LOADER    ", 100, 10, 100);
  EXPECT_EQ(sector.plan.dataLength, 100u);

  // 300 bytes is not what a trailer and sector fill leave: everything stays.
  const Planned other = Plan("LOADER.B", PaddedTo(extracted, 300), PairTime(100, 100));
  ExpectHeader(other.plan, ProgramType, "LOADER    ", 100, 10, 100);
  EXPECT_EQ(other.plan.dataLength, 300u);

  // Without a time code the trailer is looked for behind the length field only.
  const Planned unstamped = Plan("LOADER.B", extracted);
  ExpectHeader(unstamped.plan, ProgramType, "LOADER    ", 104, 0x8000, 104);
  EXPECT_EQ(unstamped.plan.dataLength, 104u);
}

TEST(PackHeaderRulesTest, ProgramKeepsItsVariablesLengthFromTheTimeCode) {
  const Planned p = Plan("GAME.B", WithTrailer(Program(900), 9999), PairTime(900, 700));
  ExpectHeader(p.plan, ProgramType, "GAME      ", 900, 9999, 700);
  EXPECT_EQ(p.plan.dataLength, 900u);
}

TEST(PackHeaderRulesTest, TrailerWithLineZeroIsDroppedAndLeavesNoAutostart) {
  // Extraction writes line 0 for a program without autostart (param1 32768).
  const Planned p = Plan("NOAUTO.B", WithTrailer(Program(50), 0), PairTime(50, 50));
  ExpectHeader(p.plan, ProgramType, "NOAUTO    ", 50, 0x8000, 50);
  EXPECT_EQ(p.plan.dataLength, 50u);
}

TEST(PackHeaderRulesTest, ProgramTimeCodeThatCannotBeTheFilesIsReadTheOtherWayRound) {
  // A pair whose second value exceeds its first (or whose first exceeds the
  // file) cannot come from a program header; it is read as param1 and length.
  const Planned p = Plan("ODD.B", Program(40), PairTime(30, 35));
  ExpectHeader(p.plan, ProgramType, "ODD       ", 35, 30, 0x8000);
  EXPECT_EQ(p.plan.dataLength, 40u);
}

TEST(PackHeaderRulesTest, ExtensionGivesTheType) {
  ExpectHeader(Plan("SCREEN.C", Program(3)).plan, CodeType, "SCREEN    ", 3, 0, 0x8000);
  ExpectHeader(Plan("SCREEN", Program(3)).plan, 'C', "SCREEN    ", 3, 0, 0x8000);
  ExpectHeader(Plan("X.#01", Program(3)).plan, 1, "X         ", 3, 0, 0x8000);
  ExpectHeader(Plan("X.COD", Program(3)).plan, CodeType, "X         ", 3, 0, 0x8000);
  ExpectHeader(Plan("X.CO", Program(3)).plan, 'C', "X         ", 3, 0, 0x8000);
  // Only a one-letter "B" is a program.
  ExpectHeader(Plan("X.BAS", Program(3)).plan, 'B', "X         ", 3, 0, 0x8000);
}

TEST(PackHeaderRulesTest, NumberPrefixDuplicateMarkAndEscapesAreUndone) {
  const Planned p = Plan("007!   a#2Fb#23c.C[3]", Program(8), PairTime(16384, 8));
  ExpectHeader(p.plan, CodeType, "a/b#c     ", 8, 16384, 0x8000);
}

TEST(PackHeaderRulesTest, CodeTakesStartAndLengthFromTheTimeCodeWhateverItsSize) {
  const Planned p = Plan("SCREEN.C", Program(7000), PairTime(16384, 6912));
  ExpectHeader(p.plan, CodeType, "SCREEN    ", 6912, 16384, 0x8000);
  EXPECT_EQ(p.plan.dataLength, 7000u);
}

TEST(PackHeaderRulesTest, HeaderlessNamesNeedTheHeaderlessTimeUnlessTheySayHeaderless) {
  const Settings settings = PackSettings();
  const Planned marked = Plan("012!   data7", Program(5), HeaderlessMarkerTime, settings);
  EXPECT_FALSE(marked.plan.hasHeader);
  EXPECT_EQ(marked.plan.dataLength, 5u);
  EXPECT_EQ(marked.plan.dataFlag, 0xFF);

  const Planned unmarked = Plan("data7", Program(5), NoTimeCode, settings);
  ExpectHeader(unmarked.plan, 'C', "data7     ", 5, 0, 0x8000);

  EXPECT_FALSE(Plan("headerless0012", Program(5), NoTimeCode, settings).plan.hasHeader);
  // A hobeta-mode name of a headerless block is a named file.
  EXPECT_TRUE(Plan("data1.$C", Program(5), HeaderlessMarkerTime, settings).plan.hasHeader);
}

TEST(PackHeaderRulesTest, ParameterListInTheNameOverridesEveryOtherRule) {
  const Planned decimal = Plan("GAME.3 06912 32768 32768 00000 255 000", Program(10), PairTime(1, 2));
  ExpectHeader(decimal.plan, 3, "GAME      ", 6912, 32768, 32768);
  EXPECT_EQ(decimal.plan.dataLength, 10u);

  // A program listed with its parameters keeps every byte, trailer-like or not.
  const Planned program = Plan("LOADER.0    0064 000A 0050 0000 FF 00", WithTrailer(Program(100), 10));
  ExpectHeader(program.plan, ProgramType, "LOADER    ", 100, 10, 80);
  EXPECT_EQ(program.plan.dataLength, 104u);
  EXPECT_EQ(program.plan.dataFlag, 0xFF);
}

TEST(PackHeaderRulesTest, ParameterListKeepsTheDataBlocksFlag) {
  const Planned p = Plan("TURBO.3 LEN=0010 STA=8000 VAR=8000 BOD=0000 FLA=5A ATT=00", Program(16));
  ExpectHeader(p.plan, 3, "TURBO     ", 16, 0x8000, 0x8000);
  EXPECT_EQ(p.plan.dataFlag, 0x5A);
}

TEST(PackHeaderRulesTest, HobetaFileGivesItsOwnHeaderAndTrueLength) {
  const Bytes screen = HobetaFile("SCREEN  ", 'C', 16384, 6912, Program(6912));
  ASSERT_EQ(screen.size(), 6929u);
  const Planned p = Plan("SCREEN.$C", screen);
  ExpectHeader(p.plan, CodeType, "SCREEN    ", 6912, 16384, 0x8000);
  EXPECT_EQ(p.plan.dataOffset, 17u);
  EXPECT_EQ(p.plan.dataLength, 6912u);

  const Bytes program = HobetaFile("hello   ", 'B', 1000, 900, WithTrailer(Program(1000), 10));
  const Planned smart = Plan("hello.$B", program);
  ExpectHeader(smart.plan, ProgramType, "hello     ", 1000, 10, 900);
  EXPECT_EQ(smart.plan.dataLength, 1000u);

  Settings whole = PackSettings();
  whole.SmartLenDetect = false;
  EXPECT_EQ(Plan("hello.$B", program, NoTimeCode, whole).plan.dataLength, 1024u);
}

TEST(PackHeaderRulesTest, HobetaSizeFieldMustMatchTheFile) {
  const Bytes lying = HobetaFile("SCREEN  ", 'C', 16384, 100, Program(100), 3);
  const Planned p = Plan("SCREEN.$C", lying);
  ASSERT_TRUE(p.status.IsFailed());
  EXPECT_EQ(p.status.code, E_BAD_DATA);
  EXPECT_STREQ(p.status.message, "Bad hobeta file: invalid size in hobeta header");
}

TEST(PackHeaderRulesTest, FilesThatAreNotHobetaPackAsPlainFiles) {
  Bytes broken = HobetaFile("SCREEN  ", 'C', 16384, 100, Program(100));
  broken[16] ^= 1;  // checksum
  const Planned p = Plan("SCREEN.$C", broken);
  ASSERT_TRUE(p.status.IsOk());
  ExpectHeader(p.plan, 'C', "SCREEN    ", 273, 0, 0x8000);
  EXPECT_EQ(p.plan.dataOffset, 0u);

  Settings noDetection = PackSettings();
  noDetection.DetectHobeta = false;
  const Bytes valid = HobetaFile("SCREEN  ", 'C', 16384, 100, Program(100));
  const Planned plain = Plan("SCREEN.$C", valid, NoTimeCode, noDetection);
  ExpectHeader(plain.plan, '$', "SCREEN    ", 273, 0, 0x8000);
}

TEST(PackHeaderRulesTest, EmptyFileNeedsNoBytes) {
  // An empty file's view has nothing behind it: the plan must not read it.
  TapeFilePlan plan;
  const auto* nothing = reinterpret_cast<const std::uint8_t*>(1);
  ASSERT_TRUE(PlanTapeFile("EMPTY.B", nothing, 0, PairTime(0, 0), PackSettings(), plan).IsOk());
  EXPECT_EQ(plan.header.length, 0);
  EXPECT_EQ(plan.dataLength, 0u);
  ASSERT_TRUE(PlanTapeFile("EMPTY.$C", nothing, 0, NoTimeCode, PackSettings(), plan).IsOk());
}

}  // namespace
