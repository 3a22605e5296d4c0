#include <gtest/gtest.h>

#include <string>

#include "helpers/child_process.h"
#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

using os::Access;
using os::Disposition;

const os::Methods& Os = os::Native;

bool CanOpen(const std::string& path, Access access, Disposition disposition = Disposition::OpenExisting) {
  os::File* file = Os.Open(path.c_str(), access, disposition, nullptr);
  if (file == nullptr) return false;
  Os.Close(file);
  return true;
}

class OsSharingTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string path = dir.Write("image.tap", "contents");
};

TEST_F(OsSharingTest, ReadersShareAWriterSharesWithNobodyInOneProcess) {
  os::File* reader = Os.Open(path.c_str(), Access::Read, Disposition::OpenExisting, nullptr);
  ASSERT_NE(reader, nullptr);
  EXPECT_TRUE(CanOpen(path, Access::Read));
  EXPECT_FALSE(CanOpen(path, Access::ReadWrite));
  EXPECT_FALSE(CanOpen(path, Access::ReadWrite, Disposition::CreateAlways));
  EXPECT_EQ(dir.Read("image.tap"), "contents") << "a refused CreateAlways must not empty the file in use";
  EXPECT_TRUE(Os.Close(reader));

  os::File* writer = Os.Open(path.c_str(), Access::ReadWrite, Disposition::OpenAlways, nullptr);
  ASSERT_NE(writer, nullptr);
  EXPECT_FALSE(CanOpen(path, Access::Read));
  EXPECT_FALSE(CanOpen(path, Access::ReadWrite, Disposition::OpenAlways));
  EXPECT_TRUE(Os.Close(writer));
  EXPECT_TRUE(CanOpen(path, Access::ReadWrite));
}

// A conflicting open is refused at once: if it waited for the child, the
// child (which waits for this test) would never let go, and the test hangs.
TEST_F(OsSharingTest, SharingHoldsBetweenProcesses) {
  {
    HoldingChild child(path, Access::ReadWrite);
    ASSERT_TRUE(child.Opened());
    EXPECT_FALSE(CanOpen(path, Access::Read));
    EXPECT_FALSE(CanOpen(path, Access::ReadWrite));
  }
  {
    HoldingChild child(path, Access::Read);
    ASSERT_TRUE(child.Opened());
    EXPECT_TRUE(CanOpen(path, Access::Read));
    EXPECT_FALSE(CanOpen(path, Access::ReadWrite));
  }
  EXPECT_TRUE(CanOpen(path, Access::ReadWrite));
}

TEST_F(OsSharingTest, HeldFilesAreNeitherDeletedNorReplaced) {
  const std::string other = dir.Write("image.tap.1.temp", "replacement");
  const std::string moved = dir.Path("moved.tap");
  {
    os::File* reader = Os.Open(path.c_str(), Access::Read, Disposition::OpenExisting, nullptr);
    ASSERT_NE(reader, nullptr);
    EXPECT_FALSE(Os.Delete(path.c_str()));
    EXPECT_FALSE(Os.Replace(other.c_str(), path.c_str(), nullptr));
    EXPECT_FALSE(Os.Replace(path.c_str(), moved.c_str(), nullptr)) << "a held source stays too";
    Os.Close(reader);
  }
  {
    HoldingChild child(path, Access::Read);
    ASSERT_TRUE(child.Opened());
    EXPECT_FALSE(Os.Delete(path.c_str()));
    EXPECT_FALSE(Os.Replace(other.c_str(), path.c_str(), nullptr));
  }
  EXPECT_EQ(dir.Read("image.tap"), "contents");
  EXPECT_TRUE(dir.Has("image.tap.1.temp"));
  EXPECT_FALSE(dir.Has("moved.tap"));

  EXPECT_TRUE(Os.Replace(other.c_str(), path.c_str(), nullptr));
  EXPECT_EQ(dir.Read("image.tap"), "replacement");
  EXPECT_FALSE(dir.Has("image.tap.1.temp"));
  EXPECT_TRUE(Os.Delete(path.c_str()));
  EXPECT_FALSE(dir.Has("image.tap"));
}

}  // namespace
