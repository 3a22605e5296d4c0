// Removing the sources of a move: last name first, directories kept, and
// every file that can go goes even when another cannot.
#include <sys/stat.h>

#include <filesystem>

#include "helpers/pack_session.h"
#include "modify/remove_sources.h"

namespace {

using pack_test::AddList;
using pack_test::PackingTest;
using pack_test::WriteSource;
using fault_os::Op;

using RemoveSourcesTest = PackingTest;

TEST_F(RemoveSourcesTest, DeletesFilesFromTheLastNameToTheFirst) {
  std::filesystem::create_directory(Source("dir"));
  for (const char* name : {"a.C", "b.B", "dir/c.C"}) WriteSource(Source(name), "x");
  // The third deletion fails: only the first listed file may survive.
  faults_.FailNth(Op::Delete, 3);
  const std::string list = AddList({"a.C", "b.B", "dir\\c.C"});
  const Status result = RemoveSources(SourceDir().c_str(), list.data());
  EXPECT_TRUE(result.IsFailed());
  EXPECT_STREQ(result.message, "Error deleting source files/directories");
  EXPECT_TRUE(FileExists(Source("a.C")));
  EXPECT_FALSE(FileExists(Source("b.B")));
  EXPECT_FALSE(FileExists(Source("dir/c.C")));
}

TEST_F(RemoveSourcesTest, LeavesDirectoriesInPlace) {
  std::filesystem::create_directory(Source("dir"));
  WriteSource(Source("dir/c.C"), "x");
  const std::string list = AddList({"dir/", "dir/c.C"});
  // A directory that it tried to delete would have failed the walk.
  EXPECT_TRUE(RemoveSources(SourceDir().c_str(), list.data()).IsOk());
  EXPECT_FALSE(FileExists(Source("dir/c.C")));
  EXPECT_TRUE(std::filesystem::is_directory(Source("dir")));
}

TEST_F(RemoveSourcesTest, ReadOnlyOrMissingFilesStayAndTheOthersGo) {
  WriteSource(Source("a.C"), "a");
  WriteSource(Source("ro.C"), "r");
  WriteSource(Source("z.C"), "z");
  ASSERT_EQ(chmod(Source("ro.C").c_str(), 0444), 0);
  const std::string list = AddList({"a.C", "ro.C", "gone.C", "z.C"});
  const Status result = RemoveSources(SourceDir().c_str(), list.data());
  EXPECT_TRUE(result.IsFailed());
  EXPECT_EQ(HostCode(result), 1);
  EXPECT_FALSE(FileExists(Source("a.C")));
  EXPECT_TRUE(FileExists(Source("ro.C")));
  EXPECT_FALSE(FileExists(Source("z.C")));
}

TEST_F(RemoveSourcesTest, PathThatCannotBeBuiltStopsTheWalk) {
  WriteSource(Source("a.C"), "a");
  WriteSource(Source("b.C"), "b");
  faults_.FailEvery(Op::Allocate);
  faults_.FailEvery(Op::Reallocate);
  const std::string list = AddList({"a.C", "b.C"});
  const Status result = RemoveSources(SourceDir().c_str(), list.data());
  faults_.Clear();
  EXPECT_EQ(HostCode(result), E_NO_MEMORY);
  EXPECT_TRUE(FileExists(Source("a.C")));
  EXPECT_TRUE(FileExists(Source("b.C")));
}

}  // namespace
