#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string>
#include <vector>

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
  ASSERT_TRUE(Os.Replace(from.c_str(), to.c_str(), nullptr));
  EXPECT_EQ(dir.Read("image.tap"), "new");
  EXPECT_FALSE(dir.Has("new.temp"));
  unsigned char kept[8] = {};
  EXPECT_EQ(getxattr(to.c_str(), "user.doved.creation_time", kept, sizeof kept), 8);
  EXPECT_EQ(kept[7], 8);

  EXPECT_FALSE(Os.Replace(from.c_str(), to.c_str(), nullptr)) << "the source is gone";
  EXPECT_EQ(dir.Read("image.tap"), "new");
  dir.Write("second.temp", "second");
  EXPECT_TRUE(Os.Replace(dir.Path("second.temp").c_str(), dir.Path("fresh.tap").c_str(), nullptr)) << "no target yet";
  EXPECT_EQ(dir.Read("fresh.tap"), "second");

  dir.Write("third.temp", "third");
  ASSERT_EQ(chmod(to.c_str(), 0444), 0);
  EXPECT_FALSE(Os.Replace(dir.Path("third.temp").c_str(), to.c_str(), nullptr)) << "a read-only target";
  EXPECT_EQ(dir.Read("image.tap"), "new");
}

TEST_F(OsRemoveTest, ReplaceThroughALinkKeepsTheLink) {
  ASSERT_EQ(mkdir(dir.Path("store").c_str(), 0755), 0);
  dir.Write("store/real.tap", "old");
  ASSERT_EQ(symlink("store/real.tap", dir.Path("link.tap").c_str()), 0);
  ASSERT_EQ(symlink("link.tap", dir.Path("link2.tap").c_str()), 0);
  dir.Write("link.tap.7.temp", "new");
  ASSERT_TRUE(Os.Replace(dir.Path("link.tap.7.temp").c_str(), dir.Path("link2.tap").c_str(), nullptr));
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

// The caller's own open file on the target: its lock decides whether anybody
// else has the file open, and it is closed whatever the outcome.
TEST_F(OsRemoveTest, ReplaceOverTheCallersOwnOpenFile) {
  const std::string image = dir.Write("image.tap", "old");
  bool created;
  os::File* own = Os.Open(image.c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting, &created);
  ASSERT_NE(own, nullptr);
  dir.Write("new.temp", "new");
  ASSERT_TRUE(Os.Replace(dir.Path("new.temp").c_str(), image.c_str(), own));
  EXPECT_EQ(dir.Read("image.tap"), "new");

  // A reader's share, refused while another reader has the image too.
  os::File* reading = Os.Open(image.c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
  os::File* other = Os.Open(image.c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
  ASSERT_NE(reading, nullptr);
  ASSERT_NE(other, nullptr);
  dir.Write("newer.temp", "newer");
  EXPECT_FALSE(Os.Replace(dir.Path("newer.temp").c_str(), image.c_str(), reading));
  EXPECT_EQ(dir.Read("image.tap"), "new");
  EXPECT_TRUE(Os.Close(other));
  // Both were closed: a writer gets the image again, and the rename goes through.
  reading = Os.Open(image.c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
  ASSERT_NE(reading, nullptr);
  EXPECT_TRUE(Os.Replace(dir.Path("newer.temp").c_str(), image.c_str(), reading));
  EXPECT_EQ(dir.Read("image.tap"), "newer");
  os::File* writer = Os.Open(image.c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting, &created);
  EXPECT_NE(writer, nullptr) << "nobody holds the image any more";
  if (writer != nullptr) Os.Close(writer);
}

TEST_F(OsRemoveTest, UnnamedFileHasNoNameUntilLinked) {
  const std::string image = dir.Write("image.tap", "old");
  os::File* file = Os.CreateUnnamed(image.c_str());
  ASSERT_NE(file, nullptr) << "this file system makes no unnamed files";
  std::uint32_t done = 0;
  ASSERT_TRUE(Os.Write(file, "new", 3, &done));
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"image.tap"});
  EXPECT_FALSE(Os.Link(file, image.c_str())) << "a name that exists is not taken";
  ASSERT_TRUE(Os.Link(file, dir.Path("image.tap.5.temp").c_str()));
  EXPECT_TRUE(Os.Close(file));
  EXPECT_EQ(dir.Read("image.tap.5.temp"), "new");

  // One that is dropped before its name leaves nothing.
  file = Os.CreateUnnamed(image.c_str());
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(Os.Write(file, "lost", 4, &done));
  EXPECT_TRUE(Os.Close(file));
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"image.tap", "image.tap.5.temp"}));
}

TEST_F(OsRemoveTest, MetadataCopiesPermissionsAndAttributes) {
  const std::string from = dir.Write("image.tap", "old");
  const std::string to = dir.Write("new.temp", "new");
  ASSERT_EQ(chmod(from.c_str(), 0640), 0);
  const unsigned char stamp[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(setxattr(from.c_str(), "user.doved.creation_time", stamp, sizeof stamp, 0), 0);
  ASSERT_EQ(setxattr(from.c_str(), "user.comment", "kept", 4, 0), 0);
  bool created;
  os::File* source = Os.Open(from.c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
  os::File* target = Os.Open(to.c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting, &created);
  ASSERT_NE(source, nullptr);
  ASSERT_NE(target, nullptr);
  EXPECT_TRUE(Os.CopyMetadata(source, target));
  Os.Close(source);
  Os.Close(target);
  struct stat status {};
  ASSERT_EQ(stat(to.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  char comment[8] = {};
  EXPECT_EQ(getxattr(to.c_str(), "user.comment", comment, sizeof comment), 4);
  EXPECT_EQ(std::string(comment, 4), "kept");
  unsigned char kept[8] = {};
  EXPECT_EQ(getxattr(to.c_str(), "user.doved.creation_time", kept, sizeof kept), 8);
  EXPECT_EQ(kept[0], 1);
}

}  // namespace
