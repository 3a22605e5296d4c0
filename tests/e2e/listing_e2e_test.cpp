// Listing, testing and extracting through the host tool, which loads the
// built Doved.wcx and calls it exactly as a file manager does.
#include <gtest/gtest.h>

#include <filesystem>

#include "helpers/file_contents.h"
#include "base/host_codes.h"
#include "helpers/host_tool.h"
#include "helpers/tap_builder.h"

namespace {

using tap_builder::Bytes;

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ListingThroughHostTool : public HostToolTest {};

TEST_F(ListingThroughHostTool, ListsAndExtractsTheShippedSample) {
  const CommandResult listing = Doved("list " + Quoted(DOVED_SAMPLE_IMAGE));
  ASSERT_EQ(listing.exitCode, 0) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "000!   hello.B")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "001!   charset.C")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "002!   data1")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "3 entries")) << listing.output;

  std::filesystem::create_directory(dir.Path("out"));
  const CommandResult extraction = Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(dir.Path("out")));
  ASSERT_EQ(extraction.exitCode, 0) << extraction.output;
  const std::string program = FileBytes(dir.Path("out/000!   hello.B"));
  ASSERT_GE(program.size(), 4u);
  EXPECT_EQ(program.substr(program.size() - 4), std::string("\x80\xAA\x0A\x00", 4));  // autostart at line 10
  EXPECT_EQ(FileBytes(dir.Path("out/001!   charset.C")).size(), 64u);
  EXPECT_EQ(FileBytes(dir.Path("out/002!   data1")), std::string("headerless block\x00\x01\x02\x03", 20));
  EXPECT_EQ(Doved("test " + Quoted(DOVED_SAMPLE_IMAGE)).exitCode, 0);
}

TEST_F(ListingThroughHostTool, ExtractsOnlyTheNamedEntries) {
  std::filesystem::create_directory(dir.Path("out"));
  const CommandResult some =
      Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(dir.Path("out")) + " '002!   data1'");
  EXPECT_EQ(some.exitCode, 0);
  EXPECT_EQ(FilesIn(dir.Path("out")), std::vector<std::string>{"002!   data1"});
  EXPECT_NE(Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(dir.Path("out")) + " nothing").exitCode, 0);
}

TEST_F(ListingThroughHostTool, ExtractionMakesAFolderThatIsNotThereYet) {
  const std::string out = dir.Path("new/deeper");
  const CommandResult extraction = Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(out));
  ASSERT_EQ(extraction.exitCode, 0) << extraction.output;
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"000!   hello.B", "001!   charset.C", "002!   data1"}));

  StoreFile(dir.Path("file"), "");
  EXPECT_EQ(Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(dir.Path("file/out"))).exitCode,
            E_ECREATE);
}

TEST_F(ListingThroughHostTool, DovedCfgBesideThePluginChangesTheNames) {
  Configure("FileNameNumbering=0\r\nExtractHobeta=1\r\n");
  const CommandResult listing = Doved("list " + Quoted(DOVED_SAMPLE_IMAGE));
  ASSERT_EQ(listing.exitCode, 0);
  EXPECT_TRUE(Contains(listing.output, "  hello.$B\n")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "  charset.$C\n")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "  data1.$C\n")) << listing.output;
  std::filesystem::create_directory(dir.Path("out"));
  ASSERT_EQ(Doved("extract " + Quoted(DOVED_SAMPLE_IMAGE) + " -o " + Quoted(dir.Path("out"))).exitCode, 0);
  const std::string hobeta = FileBytes(dir.Path("out/charset.$C"));
  ASSERT_EQ(hobeta.size(), 17u + 256u);  // header, then the data filled up to whole sectors
  EXPECT_EQ(hobeta.substr(0, 9), "charset C");
  EXPECT_EQ(hobeta.substr(11, 2), std::string("\x40\x00", 2));  // length 64
  EXPECT_EQ(hobeta[14], 1);                                       // one sector

  Configure("RarevCompatible=1\r\n");
  const CommandResult rarev = Doved("list " + Quoted(DOVED_SAMPLE_IMAGE));
  EXPECT_TRUE(Contains(rarev.output, "charset.3")) << rarev.output;
  EXPECT_TRUE(Contains(rarev.output, "headerless1")) << rarev.output;
}

TEST_F(ListingThroughHostTool, DeviceNamesAreEscapedSoNoDeviceIsEverWritten) {
  Configure("FileNameNumbering=0\r\n");
  const std::string image = dir.Path("devices.tap");
  StoreFile(image, AsText(tap_builder::Concat({tap_builder::HeaderBlock(3, "CON", 1, 0, 0), tap_builder::DataBlock({7}),
                                            tap_builder::HeaderBlock(3, "nul", 1, 0, 0), tap_builder::DataBlock({8}),
                                            tap_builder::HeaderBlock(3, "com1", 1, 0, 0), tap_builder::DataBlock({9})})));
  const CommandResult listing = Doved("list " + Quoted(image));
  EXPECT_TRUE(Contains(listing.output, "#43#4F#4E.C")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "#6E#75#6C.C")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "#63#6F#6D#31.C")) << listing.output;
}

TEST_F(ListingThroughHostTool, ExitStatusIsTheHostCodeOfTheFirstFailure) {
  const CommandResult missing = Doved("list " + Quoted(dir.Path("missing.tap")), true);
  EXPECT_EQ(missing.exitCode, 15);
  EXPECT_EQ(missing.output, "doved: " + dir.Path("missing.tap") + ": error 15 (cannot open)\n");  // no table
  const std::string stray = dir.Path("stray.tap");
  StoreFile(stray, AsText(tap_builder::DataBlock({1, 2})) + "\x01");
  EXPECT_EQ(Doved("list " + Quoted(stray)).exitCode, 13);

  Bytes bad = tap_builder::DataBlock(tap_builder::Pattern(10));
  bad[5] ^= 0x40;
  const std::string corrupt = dir.Path("corrupt.tap");
  StoreFile(corrupt, AsText(tap_builder::Concat({tap_builder::DataBlock({1}), bad})));
  const CommandResult tested = Doved("test " + Quoted(corrupt), true);
  EXPECT_EQ(tested.exitCode, 12);
  EXPECT_TRUE(Contains(tested.output, "001!   data2: error 12")) << tested.output;

  const CommandResult caps = Doved("caps");
#ifdef DOVED_UNDER_WINE  // Total Commander may run the Windows build's packing and unpacking on threads of its own
  EXPECT_EQ(caps.output, "159 new modify multiple delete options searchtext\nbackground: unpack pack\n");
#else
  EXPECT_EQ(caps.output, "159 new modify multiple delete options searchtext\n");
#endif
}

TEST_F(ListingThroughHostTool, ReadsImagesOfIndependentTools) {
  if (!HaveTool("zmakebas") || !HaveTool("pasmo")) {
    if (getenv("DOVED_ALLOW_MISSING_PEERS") != nullptr) GTEST_SKIP() << "zmakebas and pasmo are needed";
    FAIL() << "zmakebas and pasmo are needed (scripts/install-deps installs them)";
  }
  Configure("FileNameNumbering=0\r\n");
  StoreFile(dir.Path("hello.bas"), "10 PRINT \"HELLO\"\n20 GO TO 10\n");
  ASSERT_EQ(RunShell("zmakebas -a 20 -n hello -o " + Quoted(dir.Path("hello.tap")) + " " + Quoted(dir.Path("hello.bas")))
                .exitCode,
            0);
  StoreFile(dir.Path("code.asm"), "org 40000\nld a,2\nout (254),a\nret\nend 40000\n");
  ASSERT_EQ(RunShell("pasmo --tapbas " + Quoted(dir.Path("code.asm")) + " " + Quoted(dir.Path("code.tap"))).exitCode, 0);

  std::filesystem::create_directory(dir.Path("out"));
  ASSERT_EQ(Doved("extract " + Quoted(dir.Path("hello.tap")) + " -o " + Quoted(dir.Path("out"))).exitCode, 0);
  const std::string program = FileBytes(dir.Path("out/hello.B"));
  ASSERT_GE(program.size(), 4u);
  EXPECT_EQ(program.substr(program.size() - 4), std::string("\x80\xAA\x14\x00", 4));
  EXPECT_EQ(program.substr(0, 2), std::string("\x00\x0A", 2));  // line 10, big-endian as BASIC keeps it

  const CommandResult listing = Doved("list " + Quoted(dir.Path("code.tap")));
  ASSERT_EQ(listing.exitCode, 0) << listing.output;
  EXPECT_TRUE(Contains(listing.output, "2 entries")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, ".B\n")) << listing.output;
  EXPECT_TRUE(Contains(listing.output, ".C\n")) << listing.output;
  EXPECT_EQ(Doved("test " + Quoted(dir.Path("code.tap"))).exitCode, 0);
}

// A failure that the plug-in shows reaches the user in a message box, and the
// host still learns its code.
TEST_F(ListingThroughHostTool, TooManyNumberedEntriesAreRefusedWithTheReason) {
  std::string blocks;
  for (int i = 0; i < 257; ++i) blocks += AsText(tap_builder::DataBlock({static_cast<std::uint8_t>(i)}));
  const std::string image = dir.Path("long.tap");
  StoreFile(image, blocks);
  const CommandResult refused = Doved("list " + Quoted(image), true);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(Contains(refused.output, "[Doved error] This tape image contains more than 255 files.\n"
                                       "Such images are supported only if numbering mode is off."))
      << refused.output;

  Configure("FileNameNumbering=0\r\n");
  const CommandResult listed = Doved("list " + Quoted(image), true);
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_TRUE(Contains(listed.output, "257 entries")) << listed.output;
  EXPECT_FALSE(Contains(listed.output, "[Doved error]")) << listed.output;
}

#ifndef DOVED_UNDER_WINE  // the Windows DLL's exports are checked by scripts/check-windows-dll
// The host's functions and Double Commander's start and end of the library.
TEST(PluginLibrary, ExportsExactlyTheHostsFunctions) {
  const CommandResult symbols = RunShell(std::string("nm -D --defined-only ") + Quoted(DOVED_PLUGIN) +
                                         " | awk '$2 ~ /^[TW]$/ {print $3}' | sort");
  ASSERT_EQ(symbols.exitCode, 0);
  EXPECT_EQ(symbols.output,
            "CloseArchive\nConfigurePacker\nDeleteFiles\nExtensionFinalize\nExtensionInitialize\nGetPackerCaps\n"
            "OpenArchive\nPackFiles\nPackSetDefaultParams\nProcessFile\nReadHeader\nSetChangeVolProc\nSetProcessDataProc\n");
}
#endif

}  // namespace
