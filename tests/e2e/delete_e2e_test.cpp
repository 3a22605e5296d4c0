// Deleting through the host tool, as a file manager drives the plug-in, with
// independent TAP tools making the image and reading the result.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/file_contents.h"
#include "helpers/host_tool.h"
#include "helpers/tap_builder.h"

namespace {

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

using DeleteThroughHostTool = HostToolTest;

// No Doved.cfg: the default names carry a number and a separator with spaces,
// which must reach the plug-in byte for byte.
TEST_F(DeleteThroughHostTool, ImageAfterADeleteReadsCleanlyInTzxlist) {
  if (!HaveTool("zmakebas") || !HaveTool("pasmo") || !HaveTool("tzxlist"))
    GTEST_SKIP() << "zmakebas, pasmo and tzxlist (fuse-emulator-utils) are needed";
  StoreFile(dir.Path("hello.bas"), "10 PRINT \"HELLO\"\n20 GO TO 10\n");
  StoreFile(dir.Path("screen.asm"), "org 32768\nld a,2\nout (254),a\nret\n");
  ASSERT_EQ(RunShell("zmakebas -a 10 -n hello -o " + Quoted(dir.Path("hello.tap")) + " " + Quoted(dir.Path("hello.bas"))).exitCode, 0);
  ASSERT_EQ(RunShell("pasmo --tap --name screen " + Quoted(dir.Path("screen.asm")) + " " + Quoted(dir.Path("screen.tap"))).exitCode, 0);
  const std::string program = FileBytes(dir.Path("hello.tap"));
  const std::string code = FileBytes(dir.Path("screen.tap"));
  const tap_builder::Bytes looseBlock = tap_builder::DataBlock(tap_builder::Pattern(300));
  const std::string loose(looseBlock.begin(), looseBlock.end());
  const std::string image = dir.Path("GAMES.TAP");
  StoreFile(image, program + code + loose);

  const CommandResult deleted = Doved("delete " + Quoted(image) + " " + Quoted("000!   hello.B"), true);
  ASSERT_EQ(deleted.exitCode, 0) << deleted.output;
  EXPECT_EQ(FileBytes(image), code + loose);
  EXPECT_EQ(FilesIn(dir.Path("")).size(), 6u);  // bin, the two sources, their two tapes, the image

  const CommandResult listed = RunShell("tzxlist " + Quoted(image));
  ASSERT_EQ(listed.exitCode, 0) << listed.output;
  EXPECT_EQ(Occurrences(listed.output, "--= Block #"), 3u) << listed.output;
  EXPECT_EQ(Occurrences(listed.output, "(PASS)"), 3u) << listed.output;
  EXPECT_NE(listed.output.find("Bytes: \"screen"), std::string::npos) << listed.output;
  EXPECT_EQ(listed.output.find("Program:"), std::string::npos) << listed.output;
}

// A read-only image is not replaced, and the replacement that was refused
// does not stay beside it.
TEST_F(DeleteThroughHostTool, ReadOnlyImageIsRefusedAndNothingStaysBesideIt) {
  const tap_builder::Bytes block = tap_builder::DataBlock(tap_builder::Pattern(300));
  const std::string image = dir.Path("work/img.tap");
  std::filesystem::create_directory(dir.Path("work"));
  StoreFile(image, std::string(block.begin(), block.end()));
  std::filesystem::permissions(image, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                          std::filesystem::perms::others_read);
  const CommandResult deleted = Doved("delete " + Quoted(image) + " " + Quoted("000!   data"), true);
  EXPECT_EQ(deleted.exitCode, 19) << deleted.output;
  EXPECT_EQ(FileBytes(image), std::string(block.begin(), block.end()));
  EXPECT_EQ(FilesIn(dir.Path("work")), std::vector<std::string>{"img.tap"});
}

}  // namespace
