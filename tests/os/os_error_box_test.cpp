#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

TEST(OsErrorBoxTest, TheBoxIsALineOnStandardError) {
  ScratchDir dir;
  const std::string log = dir.Path("stderr.txt");
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  const int target = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(target, 0);
  ASSERT_GE(dup2(target, STDERR_FILENO), 0);
  Os.ShowErrorBox("Path of plugin DLL is too long.", "Doved error");
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  close(target);
  EXPECT_EQ(dir.Read("stderr.txt"), "[Doved error] Path of plugin DLL is too long.\n");

  // The texts of errno values, cut to the buffer.
  char text[8] = "unknown";
  EXPECT_EQ(Os.SystemErrorText(ENOENT, text, sizeof text), 7u);
  EXPECT_STREQ(text, "No such");
  EXPECT_EQ(Os.SystemErrorText(100000, text, sizeof text), 0u);
}

}  // namespace
