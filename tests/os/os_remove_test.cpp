#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string>

#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

bool IsLink(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

std::string LinkTarget(const std::string& path) {
  char target[256];
  const ssize_t n = readlink(path.c_str(), target, sizeof target);
  return n > 0 ? std::string(target, n) : std::string();
}

std::string Resolved(const std::string& path, std::uint32_t size = 4096) {
  std::string out(size, '\0');
  const std::uint32_t length = Os.ResolvePath(path.c_str(), out.data(), size);
  return length != 0 ? out.substr(0, length) : std::string("<none>");
}

class OsRemoveTest : public ::testing::Test {
 protected:
  ScratchDir dir;
};

TEST_F(OsRemoveTest, DeleteRefusesWhatWindowsRefuses) {
  EXPECT_FALSE(Os.Delete(dir.Path("missing").c_str()));
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  EXPECT_FALSE(Os.Delete(dir.Path("sub").c_str()));
  EXPECT_TRUE(dir.Has("sub"));

  const std::string readOnly = dir.Write("ro", "keep");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  EXPECT_FALSE(Os.Delete(readOnly.c_str()));
  EXPECT_TRUE(dir.Has("ro"));
  ASSERT_EQ(chmod(readOnly.c_str(), 0400 | 0200), 0);
  EXPECT_TRUE(Os.Delete(readOnly.c_str()));
  EXPECT_FALSE(dir.Has("ro"));

  // A link goes, its target stays.
  dir.Write("target", "t");
  ASSERT_EQ(symlink("target", dir.Path("link").c_str()), 0);
  EXPECT_TRUE(Os.Delete(dir.Path("link").c_str()));
  EXPECT_FALSE(IsLink(dir.Path("link")));
  EXPECT_EQ(dir.Read("target"), "t");
}

TEST_F(OsRemoveTest, ReplaceMovesTheNewFileWithItsAttributesInPlace) {
  const std::string from = dir.Write("new.temp", "new");
  const std::string to = dir.Write("image.tap", "old");
  const unsigned char stamp[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(setxattr(from.c_str(), "user.doved.creation_time", stamp, sizeof stamp, 0), 0);
  ASSERT_TRUE(Os.Replace(from.c_str(), to.c_str()));
  EXPECT_EQ(dir.Read("image.tap"), "new");
  EXPECT_FALSE(dir.Has("new.temp"));
  unsigned char kept[8] = {};
  EXPECT_EQ(getxattr(to.c_str(), "user.doved.creation_time", kept, sizeof kept), 8);
  EXPECT_EQ(kept[7], 8);

  EXPECT_FALSE(Os.Replace(from.c_str(), to.c_str())) << "the source is gone";
  EXPECT_EQ(dir.Read("image.tap"), "new");
  dir.Write("second.temp", "second");
  EXPECT_TRUE(Os.Replace(dir.Path("second.temp").c_str(), dir.Path("fresh.tap").c_str())) << "no target yet";
  EXPECT_EQ(dir.Read("fresh.tap"), "second");

  dir.Write("third.temp", "third");
  ASSERT_EQ(chmod(to.c_str(), 0444), 0);
  EXPECT_FALSE(Os.Replace(dir.Path("third.temp").c_str(), to.c_str())) << "a read-only target";
  EXPECT_EQ(dir.Read("image.tap"), "new");
}

TEST_F(OsRemoveTest, ReplaceThroughALinkKeepsTheLink) {
  ASSERT_EQ(mkdir(dir.Path("store").c_str(), 0755), 0);
  dir.Write("store/real.tap", "old");
  ASSERT_EQ(symlink("store/real.tap", dir.Path("link.tap").c_str()), 0);
  ASSERT_EQ(symlink("link.tap", dir.Path("link2.tap").c_str()), 0);
  dir.Write("link.tap.7.temp", "new");
  ASSERT_TRUE(Os.Replace(dir.Path("link.tap.7.temp").c_str(), dir.Path("link2.tap").c_str()));
  EXPECT_TRUE(IsLink(dir.Path("link2.tap")));
  EXPECT_TRUE(IsLink(dir.Path("link.tap")));
  EXPECT_EQ(LinkTarget(dir.Path("link.tap")), "store/real.tap");
  EXPECT_EQ(dir.Read("store/real.tap"), "new");
  EXPECT_FALSE(dir.Has("link.tap.7.temp"));
}

TEST_F(OsRemoveTest, ResolvePathFollowsLinksAndAllowsAMissingName) {
  ASSERT_EQ(mkdir(dir.Path("store").c_str(), 0755), 0);
  dir.Write("store/real.tap", "x");
  ASSERT_EQ(symlink("store", dir.Path("dirlink").c_str()), 0);
  ASSERT_EQ(symlink("dirlink/real.tap", dir.Path("link.tap").c_str()), 0);
  ASSERT_EQ(symlink(dir.Path("store/absent.tap").c_str(), dir.Path("dangling.tap").c_str()), 0);

  const std::string real = dir.Path("store/real.tap");
  EXPECT_EQ(Resolved(dir.Path("link.tap")), real);
  EXPECT_EQ(Resolved(dir.Path("dirlink\\real.tap")), real);
  EXPECT_EQ(Resolved(dir.Path("dirlink/new.tap")), dir.Path("store/new.tap"));
  EXPECT_EQ(Resolved(dir.Path("dangling.tap")), dir.Path("store/absent.tap"));
  EXPECT_EQ(Resolved(dir.Path("nodir/new.tap")), "<none>");
  EXPECT_EQ(Resolved(dir.Path("link.tap"), static_cast<std::uint32_t>(real.size() + 1)), real);
  EXPECT_EQ(Resolved(dir.Path("link.tap"), static_cast<std::uint32_t>(real.size())), "<none>");

  ASSERT_EQ(symlink("loop2", dir.Path("loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", dir.Path("loop2").c_str()), 0);
  EXPECT_EQ(Resolved(dir.Path("loop1")), "<none>");
}

}  // namespace
