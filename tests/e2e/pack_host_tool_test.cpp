// Packing through the host tool, as a file manager drives the plug-in, into
// new, empty and existing images, with tzxlist (fuse-emulator-utils) as an
// independent reader of what Doved wrote.
#include <cstring>
#include <sstream>
#include <vector>

#include "helpers/host_tool.h"
#include "helpers/pack_session.h"
#include "helpers/random_tape.h"

namespace {

using pack_test::PairTime;
using pack_test::WriteSource;
using tap_builder::Bytes;

class PackHostToolTest : public HostToolTest {
 protected:
  void SetUp() override {
    HostToolTest::SetUp();
    std::filesystem::create_directory(dir.Path("src"));
  }

  std::string Src(const std::string& name) const { return dir.Path("src/" + name); }

  CommandResult Pack(const std::string& image, const std::vector<std::string>& names, const std::string& options = "") {
    std::string args = "pack " + Quoted(image) + " " + options + " -C " + Quoted(dir.Path("src"));
    for (const std::string& name : names) args += " " + Quoted(name);
    return Doved(args, true);
  }
};

// One block as tzxlist reports it.
struct ListedBlock {
  unsigned length = 0;        // flag and checksum included
  bool checksumPassed = false;
  std::string rawHeader;      // "03 | 63 6f ... | 0a 00 | 00 00 | 00 80" for a header block
};

std::vector<ListedBlock> ReadTzxlist(const std::string& output) {
  std::vector<ListedBlock> blocks;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const auto value = [&](const char* key) -> const char* {
      const std::size_t at = line.find(key);
      return at == std::string::npos ? nullptr : line.c_str() + at + std::strlen(key);
    };
    if (line.find("--= Block #") != std::string::npos) {
      blocks.emplace_back();
    } else if (blocks.empty()) {
      continue;
    } else if (const char* length = value("Block length: ")) {
      blocks.back().length = static_cast<unsigned>(std::stoul(length));
    } else if (value("Checksum: ") != nullptr) {
      blocks.back().checksumPassed = line.find("(PASS)") != std::string::npos;
    } else if (const char* raw = value("Raw header: ")) {
      blocks.back().rawHeader = raw;
    }
  }
  return blocks;
}

// The header as tzxlist prints it raw: type | name | length | param1 | param2.
std::string RawHeader(std::uint8_t type, const char* name, std::uint16_t length, std::uint16_t param1,
                      std::uint16_t param2) {
  const Bytes block = tap_builder::HeaderBlock(type, tap_builder::Name(name), length, param1, param2);
  std::string text;
  char hex[4];
  for (std::size_t i = 3; i < 20; ++i) {
    if (i == 4 || i == 14 || i == 16 || i == 18) text += "| ";
    std::snprintf(hex, sizeof hex, "%02x ", block[i]);
    text += hex;
  }
  text.pop_back();
  return text;
}

std::string HobetaFile(const char* name8, char type, std::uint16_t start, std::uint16_t length, std::size_t dataSize) {
  std::string file(17 + (dataSize + 255) / 256 * 256, '\0');
  std::memcpy(file.data(), name8, 8);
  file[8] = type;
  file[9] = static_cast<char>(start);
  file[10] = static_cast<char>(start >> 8);
  file[11] = static_cast<char>(length);
  file[12] = static_cast<char>(length >> 8);
  file[14] = static_cast<char>((dataSize + 255) / 256);
  unsigned sum = 0;
  for (int i = 0; i < 15; ++i) sum += static_cast<std::uint8_t>(file[i]);
  const unsigned checksum = (257 * sum + 105) & 0xFFFF;
  file[15] = static_cast<char>(checksum);
  file[16] = static_cast<char>(checksum >> 8);
  for (std::size_t i = 0; i < dataSize; ++i) file[17 + i] = static_cast<char>(i * 5);
  return file;
}

TEST_F(PackHostToolTest, TzxlistReadsEveryBlockThatDovedPacks) {
  SKIP_WITHOUT_CREATION_TIMES();
  if (!HaveTool("tzxlist")) {
    if (getenv("DOVED_ALLOW_MISSING_PEERS") != nullptr) GTEST_SKIP() << "tzxlist is needed";
    FAIL() << "tzxlist is needed (scripts/install-deps installs fuse-emulator-utils)";
  }
  std::string program(100, 'p');
  WriteSource(Src("loader.B"), program + std::string("\x80\xAA\x0A\x00", 4), PairTime(100, 90));
  WriteSource(Src("screen.C"), std::string(6912, 's'), PairTime(16384, 6912));
  WriteSource(Src("nums.#01"), std::string(20, 'n'));
  WriteSource(Src("data1"), std::string(30, 'h'), HeaderlessMarkerTime);
  const std::string turbo = "TURBO.3 LEN=0010 STA=8000 VAR=8000 BOD=0000 FLA=5A ATT=00";
  WriteSource(Src(turbo), std::string(16, 't'));
  WriteSource(Src("game.$C"), HobetaFile("game    ", 'C', 32768, 200, 200));

  const std::string image = dir.Path("packed.tap");
  const CommandResult packed = Pack(image, {"loader.B", "screen.C", "nums.#01", "data1", turbo, "game.$C"});
  ASSERT_EQ(packed.exitCode, 0) << packed.output;

  const CommandResult listed = RunShell("tzxlist " + Quoted(image), true);
  ASSERT_EQ(listed.exitCode, 0) << listed.output;
  const std::vector<ListedBlock> blocks = ReadTzxlist(listed.output);
  struct Expected {
    std::string rawHeader;  // empty for a data block
    unsigned length;
  };
  const std::vector<Expected> expected = {
      {RawHeader(0, "loader", 100, 10, 90), 19},      {"", 102},
      {RawHeader(3, "screen", 6912, 16384, 32768), 19}, {"", 6914},
      {RawHeader(1, "nums", 20, 0, 32768), 19},        {"", 22},
      {"", 32},  // headerless
      {RawHeader(3, "TURBO", 16, 32768, 32768), 19},   {"", 18},
      {RawHeader(3, "game", 200, 32768, 32768), 19},   {"", 202},
  };
  ASSERT_EQ(blocks.size(), expected.size()) << listed.output;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    SCOPED_TRACE("block " + std::to_string(i));
    EXPECT_TRUE(blocks[i].checksumPassed);
    EXPECT_EQ(blocks[i].length, expected[i].length);
    EXPECT_EQ(blocks[i].rawHeader, expected[i].rawHeader);
  }
  // The custom loader's block keeps its flag byte.
  const std::string bytes = FileBytes(image);
  std::size_t turboData = 0;  // each block is stored behind its 2-byte length
  for (std::size_t i = 0; i < 8; ++i) turboData += 2 + blocks[i].length;
  ASSERT_GT(bytes.size(), turboData + 3);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[turboData + 2]), 0x5A);
}

TEST_F(PackHostToolTest, PacksIntoNewEmptyAndExistingImages) {
  WriteSource(Src("a.C"), "abc");
  const std::string added = std::string("\x13\x00\x00\x03" "a         \x03\x00\x00\x00\x00\x80", 20);
  const std::string fresh = dir.Path("fresh.tap");
  ASSERT_EQ(Pack(fresh, {"a.C"}).exitCode, 0);
  const std::string packed = FileBytes(fresh);
  ASSERT_EQ(packed.size(), 21u + 7u);
  EXPECT_EQ(packed.substr(0, 20), added);

  const std::string empty = dir.Path("empty.tap");
  StoreFile(empty, "");
  ASSERT_EQ(Pack(empty, {"a.C"}).exitCode, 0);
  EXPECT_EQ(FileBytes(empty), packed);

  const std::string existing = dir.Path("existing.tap");
  const std::string before = packed + packed;
  StoreFile(existing, before);
  ASSERT_EQ(Pack(existing, {"a.C"}).exitCode, 0);
  EXPECT_EQ(FileBytes(existing), before + packed);
  const CommandResult listing = Doved("list " + Quoted(existing));
  EXPECT_EQ(listing.exitCode, 0);
  EXPECT_NE(listing.output.find("3 entries"), std::string::npos) << listing.output;
}

TEST_F(PackHostToolTest, AFileTooLargeForATapeBlockLeavesTheImageAsItWas) {
  WriteSource(Src("small.C"), "abc");
  WriteSource(Src("large.C"), std::string(65534, 'L'));
  const std::string image = dir.Path("kept.tap");
  ASSERT_EQ(Pack(image, {"small.C"}).exitCode, 0);
  const std::string before = FileBytes(image);

  const CommandResult refused = Pack(image, {"small.C", "large.C"});
  EXPECT_EQ(refused.exitCode, 24);
  EXPECT_NE(refused.output.find("[Doved error] Cannot pack files larger than 65533 bytes.\n"), std::string::npos)
      << refused.output;
  EXPECT_EQ(FileBytes(image), before);
  const CommandResult refusedNew = Pack(dir.Path("new.tap"), {"large.C"});
  EXPECT_EQ(refusedNew.exitCode, 24);
  EXPECT_FALSE(FileExists(dir.Path("new.tap")));
}

TEST_F(PackHostToolTest, MoveThroughTheHostToolRemovesTheFilesButNotTheirDirectory) {
  std::filesystem::create_directory(Src("dir"));
  WriteSource(Src("dir/x.C"), "x");
  WriteSource(Src("y.C"), "y");
  const std::string image = dir.Path("moved.tap");
  ASSERT_EQ(Pack(image, {"dir", "y.C"}, "--move").exitCode, 0);
  EXPECT_FALSE(FileExists(Src("dir/x.C")));
  EXPECT_FALSE(FileExists(Src("y.C")));
  EXPECT_TRUE(std::filesystem::is_directory(Src("dir")));
  EXPECT_EQ(FileBytes(image).size(), 2u * (21 + 5));
}

// Files named by absolute paths, as a shell completes them, from folders
// apart from each other and from the current one; relative names beside them
// still start from -C.
TEST_F(PackHostToolTest, FilesNamedByAbsolutePathsArePackedFromWhereTheyAre) {
  std::filesystem::create_directories(dir.Path("other/deeper"));
  WriteSource(Src("a.C"), "a");
  WriteSource(dir.Path("other/deeper/b.C"), "bb");
  WriteSource(Src("c.C"), "ccc");
  const std::string image = dir.Path("abs.tap");
  const CommandResult packed = Doved("pack " + Quoted(image) + " --move -C " + Quoted(dir.Path("src")) + " " +
                                         Quoted(Src("a.C")) + " " + Quoted(dir.Path("other/deeper/b.C")) + " c.C",
                                     true);
  ASSERT_EQ(packed.exitCode, 0) << packed.output;
  EXPECT_FALSE(FileExists(Src("a.C")));
  EXPECT_FALSE(FileExists(dir.Path("other/deeper/b.C")));
  EXPECT_FALSE(FileExists(Src("c.C")));
  const CommandResult listing = Doved("list " + Quoted(image));
  EXPECT_NE(listing.output.find("000!   a.C\n"), std::string::npos) << listing.output;
  EXPECT_NE(listing.output.find("001!   b.C\n"), std::string::npos) << listing.output;
  EXPECT_NE(listing.output.find("002!   c.C\n"), std::string::npos) << listing.output;

  WriteSource(Src("d.C"), "dddd");
  ASSERT_EQ(Doved("pack " + Quoted(image) + " " + Quoted(Src("d.C"))).exitCode, 0);
  EXPECT_NE(Doved("list " + Quoted(image)).output.find("003!   d.C\n"), std::string::npos);
}

}  // namespace
