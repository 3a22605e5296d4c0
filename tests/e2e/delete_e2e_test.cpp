// Deleting through the host tool, as a file manager drives the plug-in, with
// independent TAP tools making the image and reading the result.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "modify/file_contents.h"
#include "platform/scratch_dir.h"
#include "tape/tap_image_builder.h"

namespace {

namespace fs = std::filesystem;

struct CommandResult {
  int exitCode;
  std::string output;
};

CommandResult RunShell(const std::string& command) {
  CommandResult result{-1, {}};
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool HaveTool(const char* name) { return RunShell(std::string("command -v ") + name).exitCode == 0; }

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A private copy of the tool and the plug-in beside it, so that no Doved.cfg
// of another run changes the names: the defaults number entries "000!   ".
class DeleteThroughHostTool : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir.Path("bin"));
    fs::copy_file(DOVED_HOST_TOOL, dir.Path("bin/doved"));
    fs::copy_file(DOVED_PLUGIN, dir.Path("bin/Doved.wcx"));
  }

  CommandResult Delete(const std::string& image, const std::string& name) {
    return RunShell(Quoted(dir.Path("bin/doved")) + " delete " + Quoted(image) + " " + Quoted(name));
  }

  ScratchDir dir;
};

TEST_F(DeleteThroughHostTool, ImageAfterADeleteReadsCleanlyInTzxlist) {
  if (!HaveTool("zmakebas") || !HaveTool("pasmo") || !HaveTool("tzxlist"))
    GTEST_SKIP() << "zmakebas, pasmo and tzxlist (fuse-emulator-utils) are needed";
  StoreFile(dir.Path("hello.bas"), "10 PRINT \"HELLO\"\n20 GO TO 10\n");
  StoreFile(dir.Path("screen.asm"), "org 32768\nld a,2\nout (254),a\nret\n");
  ASSERT_EQ(RunShell("zmakebas -a 10 -n hello -o " + Quoted(dir.Path("hello.tap")) + " " + Quoted(dir.Path("hello.bas"))).exitCode, 0);
  ASSERT_EQ(RunShell("pasmo --tap --name screen " + Quoted(dir.Path("screen.asm")) + " " + Quoted(dir.Path("screen.tap"))).exitCode, 0);
  const std::string program = FileBytes(dir.Path("hello.tap"));
  const std::string code = FileBytes(dir.Path("screen.tap"));
  const tap_test::Bytes loose = tap_test::DataBlock(tap_test::Pattern(300));
  const std::string image = dir.Path("GAMES.TAP");
  StoreFile(image, program + code + std::string(loose.begin(), loose.end()));

  const CommandResult deleted = Delete(image, "000!   hello.B");
  ASSERT_EQ(deleted.exitCode, 0) << deleted.output;
  EXPECT_EQ(FileBytes(image), code + std::string(loose.begin(), loose.end()));
  EXPECT_EQ(FilesIn(dir.Path("")).size(), 6u);  // bin, the two sources, their two tapes, the image

  const CommandResult listed = RunShell("tzxlist " + Quoted(image));
  ASSERT_EQ(listed.exitCode, 0) << listed.output;
  EXPECT_EQ(Occurrences(listed.output, "--= Block #"), 3u) << listed.output;
  EXPECT_EQ(Occurrences(listed.output, "(PASS)"), 3u) << listed.output;
  EXPECT_NE(listed.output.find("Bytes: \"screen"), std::string::npos) << listed.output;
  EXPECT_EQ(listed.output.find("Program:"), std::string::npos) << listed.output;
}

TEST_F(DeleteThroughHostTool, DamagedImageIsRefusedAndKept) {
  const tap_test::Bytes full = tap_test::Concat({tap_test::HeaderBlock(CodeType, "screen", 6912, 16384, 0),
                                                 tap_test::DataBlock(tap_test::Pattern(6912))});
  const std::string damaged(full.begin(), full.end() - 100);
  const std::string image = dir.Path("GAMES.TAP");
  StoreFile(image, damaged);

  EXPECT_EQ(Delete(image, "000!   screen.C").exitCode, E_BAD_ARCHIVE);
  EXPECT_EQ(FileBytes(image), damaged);
  EXPECT_EQ(FilesIn(dir.Path("")), (std::vector<std::string>{"GAMES.TAP", "bin"}));
}

}  // namespace
