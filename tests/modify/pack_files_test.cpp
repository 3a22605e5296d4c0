// PackFiles as the host calls it: what lands in the image, the limits, and
// images that cannot be extended.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "helpers/pack_session.h"
#include "helpers/tap_builder.h"

namespace {

using pack_test::AsText;
using pack_test::Pack;
using pack_test::PackingTest;
using pack_test::PairTime;
using pack_test::WriteSource;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Pattern;

// A well-formed image of exactly `size` bytes (size 0 or at least 2).
std::string ChainOfSize(std::uint64_t size) {
  std::string image;
  while (size != 0) {
    const std::uint64_t block = size > 65537 + 2 ? 65537 : size;
    const std::uint64_t length = block - 2;
    image += static_cast<char>(length & 0xFF);
    image += static_cast<char>(length >> 8);
    image.append(length, '\x55');
    size -= block;
  }
  return image;
}

using PackFilesTest = PackingTest;

TEST_F(PackFilesTest, NewImageHoldsExactlyTheBlocksOfTheFile) {
  WriteSource(Source("SCREEN.C"), "\x01\x02\x03");
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"SCREEN.C"}), 0);
  const unsigned char expected[] = {0x13, 0x00, 0x00, 0x03, 0x53, 0x43, 0x52, 0x45, 0x45, 0x4E, 0x20, 0x20, 0x20, 0x20,
                                    0x03, 0x00, 0x00, 0x00, 0x00, 0x80, 0x8C, 0x05, 0x00, 0xFF, 0x01, 0x02, 0x03, 0xFF};
  EXPECT_EQ(FileBytes(ImagePath()), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PackFilesTest, FilesAreAppendedBehindTheImageInListOrder) {
  const std::string before = AsText(Concat({HeaderBlock(3, "old", 2, 0, 0x8000), DataBlock({7, 8})}));
  StoreFile(ImagePath(), before);
  WriteSource(Source("b.B"), "BB");
  WriteSource(Source("data1"), "raw", HeaderlessMarkerTime);
  WriteSource(Source("a.C"), "A", PairTime(16384, 1));
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"b.B", "data1", "a.C"}), 0);
  const std::string added = AsText(Concat({HeaderBlock(0, "b", 2, 0x8000, 2), DataBlock({'B', 'B'}),
                                           DataBlock({'r', 'a', 'w'}), HeaderBlock(3, "a", 1, 16384, 0x8000),
                                           DataBlock({'A'})}));
  EXPECT_EQ(FileBytes(ImagePath()), before + added);
}

TEST_F(PackFilesTest, NamesInSubDirectoriesUseTheirLastComponentAndDirectoriesAreSkipped) {
  std::filesystem::create_directory(Source("dir"));
  WriteSource(Source("dir/file.C"), "xy");
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"dir/", "dir/file.C"}), 0);
  EXPECT_EQ(FileBytes(ImagePath()), AsText(Concat({HeaderBlock(3, "file", 2, 0, 0x8000), DataBlock({'x', 'y'})})));

  // A source directory without separator, and a name with a leading one.
  const std::string image2 = Source("second.tap");
  std::string directory = SourceDir();
  directory.pop_back();
  ASSERT_EQ(Pack(image2, directory, {"/dir\\file.C"}), 0);
  EXPECT_EQ(FileBytes(image2), FileBytes(ImagePath()));
}

TEST_F(PackFilesTest, EmptyListOrOnlyDirectoriesMakeAnEmptyImage) {
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {}), 0);
  ASSERT_TRUE(FileExists(ImagePath()));
  EXPECT_EQ(FileBytes(ImagePath()), "");

  std::filesystem::create_directory(Source("d"));
  ASSERT_EQ(Pack(Source("dirs.tap"), SourceDir(), {"d/"}), 0);
  EXPECT_EQ(FileBytes(Source("dirs.tap")), "");

  // An existing empty image takes files.
  WriteSource(Source("x.C"), "x");
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"x.C"}), 0);
  EXPECT_EQ(FileBytes(ImagePath()), AsText(Concat({HeaderBlock(3, "x", 1, 0, 0x8000), DataBlock({'x'})})));
}

TEST_F(PackFilesTest, ImageWhoseBlocksDoNotChainToItsEndIsLeftAlone) {
  WriteSource(Source("x.C"), "x");
  const std::string valid = AsText(DataBlock({1, 2, 3}));
  // A zero length word is damage to listing and packing alike.
  for (const std::string& damaged : {valid + "\x01", valid + std::string("\x09\x00\x01", 3), std::string("\x05", 1),
                                     std::string("\x00\x00", 2), valid + std::string("\x00\x00", 2)}) {
    StoreFile(ImagePath(), damaged);
    EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"x.C"}), E_BAD_ARCHIVE);
    EXPECT_EQ(FileBytes(ImagePath()), damaged);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"TAP image is corrupted and cannot be modified."});
  }
}

TEST_F(PackFilesTest, SourceFilesUpTo65533BytesPack) {
  WriteSource(Source("big.C"), std::string(65533, 'b'));
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"big.C"}), 0);
  const std::string image = FileBytes(ImagePath());
  ASSERT_EQ(image.size(), 21u + 65537u);
  EXPECT_EQ(static_cast<unsigned char>(image[21]), 0xFF);  // length word 65535
  EXPECT_EQ(static_cast<unsigned char>(image[22]), 0xFF);

  WriteSource(Source("bigger.C"), std::string(65534, 'b'));
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"bigger.C"}), E_NOT_SUPPORTED);
  EXPECT_EQ(FileBytes(ImagePath()), image);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Cannot pack files larger than 65533 bytes."});
  EXPECT_TRUE(FileExists(Source("bigger.C")));
}

TEST_F(PackFilesTest, TenThousandFilesPackAndOneMoreIsRefusedWhole) {
  std::vector<std::string> names;
  for (int i = 0; i < 10001; ++i) {
    names.push_back("f" + std::to_string(i) + ".C");
    StoreFile(Source(names.back()), "");
  }
  names.insert(names.begin(), "nothing/");  // directories are not counted
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), names), E_TOO_MANY_FILES);
  EXPECT_FALSE(FileExists(ImagePath()));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Cannot pack more than 10000 files at a time to TAP image.\nSorry :("});

  names.pop_back();
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), names), 0);
  EXPECT_EQ(FileBytes(ImagePath()).size(), 10000u * (21 + 4));
}

TEST_F(PackFilesTest, PackedTotalCountsTheImageAndDataBlocksButNotHeaders) {
  const std::string image = ChainOfSize(31457280 - 10);
  StoreFile(ImagePath(), image);
  WriteSource(Source("six.C"), "123456");
  WriteSource(Source("seven.C"), "1234567");

  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"seven.C"}), 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Cannot pack more than 30Mb at a time to TAP image. Sorry :(\n"
                                                 "If you really want this, please write to plugin author."});
  EXPECT_EQ(FileBytes(ImagePath()).size(), image.size());

  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"six.C"}), 0);
  EXPECT_EQ(FileBytes(ImagePath()).size(), image.size() + 21 + 10);
}

TEST_F(PackFilesTest, ParameterListInANameKeepsTheFlagOfACustomBlock) {
  WriteSource(Source("TURBO.3 LEN=0003 STA=C000 VAR=8000 BOD=0000 FLA=5A ATT=00"), "\x10\x20\x30");
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"TURBO.3 LEN=0003 STA=C000 VAR=8000 BOD=0000 FLA=5A ATT=00"}), 0);
  EXPECT_EQ(FileBytes(ImagePath()),
            AsText(Concat({HeaderBlock(3, "TURBO", 3, 0xC000, 0x8000), DataBlock({0x10, 0x20, 0x30}, 0x5A)})));
}

TEST_F(PackFilesTest, ImageHeldByAnotherProcessIsRefusedAtOnce) {
  const std::string before = AsText(DataBlock({1, 2}));
  StoreFile(ImagePath(), before);
  WriteSource(Source("x.C"), "x");
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t reader = fork();
  ASSERT_GE(reader, 0);
  if (reader == 0) {
    // Another lister: reads the image and lets other readers in.
    bool created;
    os::File* held = os::Native.Open(ImagePath().c_str(), os::Access::Read, os::Disposition::OpenExisting, &created);
    const char opened = held != nullptr ? 'y' : 'n';
    (void)!write(ready[1], &opened, 1);
    char done;
    (void)!read(release[0], &done, 1);
    _exit(0);
  }
  char opened = 0;
  ASSERT_EQ(read(ready[0], &opened, 1), 1);
  ASSERT_EQ(opened, 'y');

  const int code = Pack(ImagePath(), SourceDir(), {"x.C"});
  (void)!write(release[1], "x", 1);
  int status = 0;
  waitpid(reader, &status, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);

  EXPECT_EQ(code, E_EOPEN);
  EXPECT_EQ(FileBytes(ImagePath()), before);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PackFilesTest, MoveDeletesTheSourcesOnlyAfterSuccess) {
  std::filesystem::create_directory(Source("dir"));
  WriteSource(Source("a.C"), "a");
  WriteSource(Source("dir/c.C"), "c");
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "dir/", "dir/c.C"}, PK_PACK_MOVE_FILES), 0);
  EXPECT_FALSE(FileExists(Source("a.C")));
  EXPECT_FALSE(FileExists(Source("dir/c.C")));
  EXPECT_TRUE(std::filesystem::is_directory(Source("dir")));
  EXPECT_EQ(FileBytes(ImagePath()).size(), 2u * (21 + 5));

  WriteSource(Source("b.C"), "b");
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"b.C", "gone.C"}, PK_PACK_MOVE_FILES), E_EOPEN);
  EXPECT_TRUE(FileExists(Source("b.C")));
}

TEST_F(PackFilesTest, SourceThatCannotBeDeletedIsToldAboutButThePackingStands) {
  WriteSource(Source("a.C"), "a");
  WriteSource(Source("locked.C"), "l");
  ASSERT_EQ(chmod(Source("locked.C").c_str(), 0444), 0);  // read-only
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "locked.C"}, PK_PACK_MOVE_FILES), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error deleting source files/directories"});
  EXPECT_FALSE(FileExists(Source("a.C")));
  EXPECT_TRUE(FileExists(Source("locked.C")));
  EXPECT_EQ(FileBytes(ImagePath()).size(), 2u * (21 + 5));
}

}  // namespace
