#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "helpers/open_descriptors.h"
#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

using os::Access;
using os::Disposition;

const os::Methods& Os = os::Native;

class OsFilesTest : public ::testing::Test {
 protected:
  // Opens, and closes again at once; tells whether the open succeeded and
  // whether it made the file.
  bool OpenOnce(const std::string& path, Access access, Disposition disposition, bool* created = nullptr) {
    bool made = false;
    os::File* file = Os.Open(path.c_str(), access, disposition, &made);
    if (file == nullptr) return false;
    EXPECT_TRUE(Os.Close(file));
    if (created != nullptr) *created = made;
    return true;
  }
  // The next bytes from the file position, up to 64.
  std::string ReadOn(os::File* file) {
    char bytes[64];
    std::uint32_t done = 0;
    EXPECT_TRUE(Os.Read(file, bytes, sizeof bytes, &done));
    return std::string(bytes, done);
  }
  ScratchDir dir;
};

TEST_F(OsFilesTest, DispositionsTellWhetherTheFileWasMade) {
  bool created = false;
  EXPECT_FALSE(OpenOnce(dir.Path("f"), Access::Read, Disposition::OpenExisting));
  EXPECT_FALSE(dir.Has("f"));
  ASSERT_TRUE(OpenOnce(dir.Path("f"), Access::ReadWrite, Disposition::CreateNew, &created));
  EXPECT_TRUE(created);
  dir.Write("f", "abc");
  EXPECT_FALSE(OpenOnce(dir.Path("f"), Access::ReadWrite, Disposition::CreateNew));
  ASSERT_TRUE(OpenOnce(dir.Path("f"), Access::ReadWrite, Disposition::OpenAlways, &created));
  EXPECT_FALSE(created);
  EXPECT_EQ(dir.Read("f"), "abc");
  ASSERT_TRUE(OpenOnce(dir.Path("f"), Access::ReadWrite, Disposition::CreateAlways, &created));
  EXPECT_FALSE(created);
  EXPECT_EQ(dir.Read("f"), "");

  ASSERT_TRUE(OpenOnce(dir.Path("g"), Access::ReadWrite, Disposition::OpenAlways, &created));
  EXPECT_TRUE(created);
  ASSERT_TRUE(OpenOnce(dir.Path("h"), Access::ReadWrite, Disposition::CreateAlways, &created));
  EXPECT_TRUE(created);
  EXPECT_FALSE(OpenOnce(dir.Path("missing/x"), Access::ReadWrite, Disposition::CreateAlways));
  EXPECT_FALSE(OpenOnce("", Access::Read, Disposition::OpenExisting));
}

TEST_F(OsFilesTest, ReadWritePositionAndLength) {
  os::File* file = Os.Open(dir.Path("f").c_str(), Access::ReadWrite, Disposition::CreateNew, nullptr);
  ASSERT_NE(file, nullptr);
  std::uint32_t done = 0;
  ASSERT_TRUE(Os.Write(file, "hello ", 6, nullptr));  // the count is optional
  ASSERT_TRUE(Os.Write(file, "world!", 6, &done));
  EXPECT_EQ(done, 6u);
  std::uint64_t size = 0;
  ASSERT_TRUE(Os.Size(file, &size));
  EXPECT_EQ(size, 12u);
  EXPECT_TRUE(Os.Flush(file));
  EXPECT_EQ(ReadOn(file), "") << "the position is at the end";
  EXPECT_TRUE(Os.Close(file));
  EXPECT_EQ(dir.Read("f"), "hello world!");

  file = Os.Open(dir.Path("f").c_str(), Access::Read, Disposition::OpenExisting, nullptr);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(Os.Write(file, "x", 1, &done));
  EXPECT_EQ(done, 0u);
  char first[5];
  ASSERT_TRUE(Os.Read(file, first, sizeof first, &done));
  EXPECT_EQ(std::string(first, done), "hello");
  char second[3];
  ASSERT_TRUE(Os.Read(file, second, sizeof second, nullptr));
  EXPECT_EQ(std::string(second, 3), " wo");
  EXPECT_EQ(ReadOn(file), "rld!");
  EXPECT_EQ(ReadOn(file), "") << "at the end";
  EXPECT_TRUE(Os.Close(file));
}

TEST_F(OsFilesTest, OnlyRegularFilesAndNoWritingIntoReadOnlyOnes) {
  EXPECT_FALSE(OpenOnce(dir.Path(), Access::Read, Disposition::OpenExisting));
  ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(OpenOnce(dir.Path("fifo"), Access::Read, Disposition::OpenExisting)) << "and it does not block";

  const std::string path = dir.Write("ro", "keep");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(OpenOnce(path, Access::ReadWrite, Disposition::OpenExisting));
  EXPECT_FALSE(OpenOnce(path, Access::ReadWrite, Disposition::CreateAlways));
  EXPECT_EQ(dir.Read("ro"), "keep");
  EXPECT_TRUE(OpenOnce(path, Access::Read, Disposition::OpenExisting));
}

TEST_F(OsFilesTest, DescriptorsAreClosedOnExecAndNeverLeak) {
  const std::string path = dir.Write("f", "x");
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  const int before = OpenDescriptorCount();
  os::File* file = Os.Open(path.c_str(), Access::Read, Disposition::OpenExisting, nullptr);
  ASSERT_NE(file, nullptr);
  int found = -1;
  for (int fd = 0; fd < 1024 && found < 0; ++fd) {
    char target[256];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, n) == path) found = fd;
  }
  ASSERT_GE(found, 0);
  EXPECT_NE(fcntl(found, F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_FALSE(OpenOnce(path, Access::ReadWrite, Disposition::OpenExisting)) << "held by the reader";
  EXPECT_TRUE(Os.Close(file));
  EXPECT_FALSE(OpenOnce(dir.Path("sub"), Access::Read, Disposition::OpenExisting));
  EXPECT_FALSE(OpenOnce(dir.Path("missing"), Access::Read, Disposition::OpenExisting));
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// The upper layers join names with '\\', as on Windows.
TEST_F(OsFilesTest, BackslashSeparatesNames) {
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  ASSERT_TRUE(OpenOnce(dir.Path("sub\\a.tap"), Access::ReadWrite, Disposition::CreateNew));
  EXPECT_TRUE(dir.Has("sub/a.tap"));
  EXPECT_TRUE(Os.Delete(dir.Path("sub\\a.tap").c_str()));
  EXPECT_FALSE(dir.Has("sub/a.tap"));
}

TEST_F(OsFilesTest, SymbolicLinksAreFollowed) {
  dir.Write("real.tap", "old");
  ASSERT_EQ(symlink("real.tap", dir.Path("link.tap").c_str()), 0);
  bool created = true;
  os::File* file = Os.Open(dir.Path("link.tap").c_str(), Access::ReadWrite, Disposition::OpenAlways, &created);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(created);
  EXPECT_EQ(ReadOn(file), "old");
  std::uint32_t done = 0;
  ASSERT_TRUE(Os.Write(file, "+new", 4, &done));
  EXPECT_TRUE(Os.Close(file));
  EXPECT_EQ(dir.Read("real.tap"), "old+new");

  // A link to a missing file: the file it names is made.
  ASSERT_EQ(symlink("made.tap", dir.Path("dangling.tap").c_str()), 0);
  ASSERT_TRUE(OpenOnce(dir.Path("dangling.tap"), Access::ReadWrite, Disposition::OpenAlways, &created));
  EXPECT_TRUE(created);
  EXPECT_TRUE(dir.Has("made.tap"));
  struct stat status {};
  ASSERT_EQ(lstat(dir.Path("dangling.tap").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
}

}  // namespace
