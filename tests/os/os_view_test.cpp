#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "helpers/child_process.h"
#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

// Bytes that differ from page to page, more than three pages of them.
std::string Pattern(std::size_t size, char salt) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096 + salt);
  return bytes;
}

class OsViewTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string contents = Pattern(3 * 4096 + 123, 1);
  std::string path = dir.Write("image.tap", contents);
};

TEST_F(OsViewTest, AViewHoldsTheFirstBytesAndLeavesThePosition) {
  os::File* file = Os.Open(path.c_str(), os::Access::Read, os::Disposition::OpenExisting, nullptr);
  ASSERT_NE(file, nullptr);
  os::View whole{};
  ASSERT_TRUE(Os.MapView(file, os::Access::Read, contents.size(), &whole));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.bytes), whole.size), contents);
  os::View part{};
  ASSERT_TRUE(Os.MapView(file, os::Access::ReadWrite, 5000, &part));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(part.bytes), part.size), contents.substr(0, 5000));
  os::View tooLong{};
  EXPECT_FALSE(Os.MapView(file, os::Access::Read, contents.size() + 1, &tooLong)) << "the file is shorter";
  EXPECT_FALSE(Os.MapView(file, os::Access::Read, 0, &tooLong));

  char first[4];
  std::uint32_t done = 0;
  ASSERT_TRUE(Os.Read(file, first, sizeof first, &done));
  EXPECT_EQ(std::string(first, done), contents.substr(0, 4));
  EXPECT_TRUE(Os.UnmapView(&part));
  EXPECT_EQ(part.bytes, nullptr);
  EXPECT_FALSE(Os.UnmapView(&part)) << "already undone";
  EXPECT_TRUE(Os.UnmapView(&whole));
  EXPECT_TRUE(Os.Close(file));
}

// A mapping of the file would fault (SIGBUS) at the first page past the new
// end, and show the rewritten bytes before it.
TEST_F(OsViewTest, AnotherProcessCuttingOrRewritingTheFileCannotTouchTheView) {
  os::File* file = Os.Open(path.c_str(), os::Access::Read, os::Disposition::OpenExisting, nullptr);
  ASSERT_NE(file, nullptr);
  os::View view{};
  ASSERT_TRUE(Os.MapView(file, os::Access::Read, contents.size(), &view));
  const std::string rewritten = Pattern(100, 9);
  const int status = RunInChild([&] {
    if (truncate(path.c_str(), 0) != 0) return 1;
    const int fd = open(path.c_str(), O_WRONLY);
    const bool written = fd >= 0 && write(fd, rewritten.data(), rewritten.size()) == 100;
    return written && close(fd) == 0 ? 0 : 2;
  });
  ASSERT_EQ(status, 0);
  ASSERT_EQ(dir.Read("image.tap"), rewritten);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.bytes), view.size), contents);
  EXPECT_TRUE(Os.UnmapView(&view));
  EXPECT_TRUE(Os.Close(file));
}

}  // namespace
