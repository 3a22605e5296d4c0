// TZX images as tapeconv (fuse-emulator-utils) converts TAP images: the host
// tool lists, tests and extracts them exactly as the TAP images, but for the
// packed sizes; what it packs into a TZX, tzxlist reads and tapeconv turns
// into the TAP that packing into a TAP gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "helpers/file_contents.h"
#include "helpers/file_time_helpers.h"
#include "helpers/host_tool.h"
#include "helpers/random_tape.h"

namespace {

struct Listing {
  std::string text;  // without the packed sizes
  std::vector<std::string> names;
};

// The listing with the packed column blanked, and the names in their order
// (the totals line is too short to reach the names' column).
Listing ReadListing(const std::string& output) {
  Listing listing;
  std::istringstream lines(output);
  std::string header, row;
  std::getline(lines, header);
  const std::size_t packedEnd = header.find("Packed") + 6, nameAt = header.find("Name");
  while (std::getline(lines, row)) {
    if (row.size() > nameAt) listing.names.push_back(row.substr(nameAt));
    if (row.size() > packedEnd) row.replace(packedEnd - 10, 10, 10, '.');
    listing.text += row + "\n";
  }
  return listing;
}

class TzxPeerTest : public HostToolTest {
 protected:
  void SetUp() override {
    HostToolTest::SetUp();
    for (const char* tool : {"tapeconv", "tzxlist", "zmakebas", "pasmo"}) {
      if (HaveTool(tool)) continue;
      if (getenv("DOVED_ALLOW_MISSING_PEERS") != nullptr) GTEST_SKIP() << tool << " is needed";
      FAIL() << tool << " is needed (scripts/install-deps installs it)";
    }
  }

  CommandResult Run(const std::string& command) const { return RunShell("cd " + Quoted(dir.Path("")) + " && " + command, true); }

  // Everything the host tool says of `tag`.tap and of tapeconv's `tag`.tzx
  // must agree; then the extracted files are packed into both formats.
  void ExpectTzxActsAsTap(const std::string& tag) {
    SCOPED_TRACE(tag);
    const std::string tap = tag + ".tap", tzx = tag + ".tzx";
    ASSERT_EQ(Run("tapeconv " + tap + " " + tzx + " && touch -r " + tap + " " + tzx).exitCode, 0);
    const CommandResult tapList = Doved("list " + Quoted(dir.Path(tap))), tzxList = Doved("list " + Quoted(dir.Path(tzx)));
    ASSERT_EQ(tapList.exitCode, 0) << tapList.output;
    ASSERT_EQ(tzxList.exitCode, 0) << tzxList.output;
    const Listing listed = ReadListing(tapList.output);
    EXPECT_EQ(ReadListing(tzxList.output).text, listed.text);
    const CommandResult tapTest = Doved("test " + Quoted(dir.Path(tap)), true);
    EXPECT_EQ(Doved("test " + Quoted(dir.Path(tzx)), true).output, tapTest.output);

    const std::string fromTap = dir.Path(tag + "-tap"), fromTzx = dir.Path(tag + "-tzx");
    ASSERT_EQ(Doved("extract " + Quoted(dir.Path(tap)) + " -o " + Quoted(fromTap)).exitCode, 0);
    ASSERT_EQ(Doved("extract " + Quoted(dir.Path(tzx)) + " -o " + Quoted(fromTzx)).exitCode, 0);
    std::vector<std::string> files = FilesIn(fromTap);
    ASSERT_EQ(FilesIn(fromTzx), files);
    for (const std::string& file : files) {
      EXPECT_EQ(FileBytes(fromTzx + "/" + file), FileBytes(fromTap + "/" + file)) << file;
      EXPECT_EQ(TimesOf(fromTzx + "/" + file).creation, TimesOf(fromTap + "/" + file).creation) << file;
    }

    std::string names;
    for (const std::string& name : listed.names) names += " " + Quoted(name);
    ASSERT_EQ(Doved("pack " + Quoted(dir.Path("y-" + tzx)) + " -C " + Quoted(fromTzx) + names).exitCode, 0);
    ASSERT_EQ(Doved("pack " + Quoted(dir.Path("y-" + tap)) + " -C " + Quoted(fromTzx) + names).exitCode, 0);
    const CommandResult read = Run("tzxlist y-" + tzx);
    EXPECT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.output.find("error"), std::string::npos) << read.output;
    ASSERT_EQ(Run("tapeconv y-" + tzx + " back-" + tap).exitCode, 0);
    EXPECT_EQ(FileBytes(dir.Path("back-" + tap)), FileBytes(dir.Path("y-" + tap)));
  }
};

TEST_F(TzxPeerTest, ZmakebasAndPasmoTapes) {
  SKIP_WITHOUT_CREATION_TIMES();
  StoreFile(dir.Path("prog.bas"), "10 PRINT \"HI\"\n20 GO TO 10\n");
  StoreFile(dir.Path("code.asm"), "org 32768\nld a,1\nret\n");
  ASSERT_EQ(Run("zmakebas -a 10 -n prog -o prog.tap prog.bas && pasmo --tapbas code.asm code.tap").exitCode, 0);
  for (const char* config : {"FileNameNumbering=0\n", "ExtractHobeta=1\n", "RarevCompatible=1\n"}) {
    Configure(config);
    ExpectTzxActsAsTap("prog");
    ExpectTzxActsAsTap("code");
  }
}

TEST_F(TzxPeerTest, RandomTapesOfTheRoundTrip) {
  SKIP_WITHOUT_CREATION_TIMES();
  random_tape::Options everything;
  everything.anyParameters = everything.customFlags = true;
  struct Mode {
    const char* config;
    random_tape::Options options;
  } modes[] = {{"FileNameNumbering=2\n", {}}, {"ExtractHobeta=1\n", {.headerless = false, .maxNameLength = 8}},
               {"RarevCompatible=1\n", everything}};
  for (const Mode& mode : modes) {
    Configure(mode.config);
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
      const std::string tag = "seed" + std::to_string(seed) + "-" + std::to_string(&mode - modes);
      const auto image = random_tape::Image(random_tape::Generate(seed, mode.options));
      StoreFile(dir.Path(tag + ".tap"), std::string(image.begin(), image.end()));
      ExpectTzxActsAsTap(tag);
    }
  }
}

}  // namespace
