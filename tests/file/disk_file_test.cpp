#include "file/disk_file.h"

#include <gtest/gtest.h>

#include <string>

#include "helpers/fault_os.h"
#include "helpers/file_access.h"
#include "helpers/scratch_dir.h"

namespace {

using fault_os::Op;

constexpr Status TooLarge = ShownFailure("too large", E_NOT_SUPPORTED);

class DiskFileTest : public ::testing::Test {
 protected:
  Status Open(const std::string& name, FileAccess access, Disposition disposition, FileView view,
              OnFailure onFailure = OnFailure::Keep, std::uint64_t maximumSize = NoSizeLimit) {
    return file.Open(dir.Path(name).c_str(), {.access = access,
                                              .disposition = disposition,
                                              .view = view,
                                              .maximumSize = maximumSize,
                                              .tooLarge = TooLarge,
                                              .onFailure = onFailure});
  }

  bool IsFree(const std::string& name) { return NobodyHolds(dir.Path(name)); }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  DiskFile file;
};

constexpr auto Read = FileAccess::Read;
constexpr auto ReadWrite = FileAccess::ReadWrite;
constexpr auto Mapped = FileView::Mapped;
constexpr auto Unmapped = FileView::None;

// No system makes a view of nothing: an empty file is viewed without one.
TEST_F(DiskFileTest, EmptyImageIsViewedWithNothingBehind) {
  dir.Write("empty.tap", "");
  faults.FailEvery(Op::MapView);
  faults.FailEvery(Op::UnmapView);
  ASSERT_TRUE(Open("empty.tap", Read, Disposition::OpenExisting, Mapped).IsOk());
  EXPECT_TRUE(file.Map(Read));
  EXPECT_EQ(file.Bytes(), nullptr);
  EXPECT_EQ(file.Size(), 0u);
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_FALSE(file.HasFile());
  EXPECT_EQ(faults.OpenFiles(), 0);
}

TEST_F(DiskFileTest, MappedImageShowsItsBytesAndIsSharedWithReadersOnly) {
  dir.Write("a.tap", std::string("\x13\x00\x00", 3));
  ASSERT_TRUE(Open("a.tap", Read, Disposition::OpenExisting, Mapped).IsOk());
  EXPECT_EQ(file.Size(), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Bytes()), 3), std::string("\x13\x00\x00", 3));
  EXPECT_FALSE(IsFree("a.tap"));
  DiskFile reader;
  EXPECT_TRUE(reader.Open(dir.Path("a.tap").c_str(), {.view = Mapped}).IsOk());
  EXPECT_TRUE(reader.Close(CloseAs::Success).IsOk());
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_TRUE(IsFree("a.tap"));
}

TEST_F(DiskFileTest, FailuresCarryTheDispositionsCodeSilently) {
  Status result = Open("missing.tap", Read, Disposition::OpenExisting, Mapped);
  EXPECT_EQ(HostCode(result), E_EOPEN);
  EXPECT_FALSE(result.flags & Status::Show);
  result = Open("nodir/target", ReadWrite, Disposition::CreateAlways, Unmapped, OnFailure::Delete);
  EXPECT_EQ(HostCode(result), E_ECREATE);
  result = Open("nodir/temp", ReadWrite, Disposition::CreateNew, Unmapped);
  EXPECT_EQ(HostCode(result), E_ECREATE);
  result = Open("nodir/image", ReadWrite, Disposition::OpenAlways, Mapped);
  EXPECT_EQ(HostCode(result), E_EOPEN);
  EXPECT_TRUE(faults.TakeBoxes().empty());
}

TEST_F(DiskFileTest, OpenAlwaysTellsWhetherItCreatedTheFile) {
  ASSERT_TRUE(Open("new.tap", ReadWrite, Disposition::OpenAlways, Mapped).IsOk());
  EXPECT_TRUE(file.Created());
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_FALSE(file.Created());
  ASSERT_TRUE(Open("new.tap", ReadWrite, Disposition::OpenAlways, Mapped).IsOk());
  EXPECT_FALSE(file.Created());
}

TEST_F(DiskFileTest, FailedExtractionTargetIsDeletedOnClose) {
  ASSERT_TRUE(Open("out.bin", ReadWrite, Disposition::CreateAlways, Unmapped, OnFailure::Delete).IsOk());
  EXPECT_TRUE(file.Write("data", 4));
  EXPECT_TRUE(file.Close(CloseAs::Failure).IsOk());
  EXPECT_FALSE(dir.Has("out.bin"));

  ASSERT_TRUE(Open("out.bin", ReadWrite, Disposition::CreateAlways, Unmapped, OnFailure::Delete).IsOk());
  EXPECT_TRUE(file.Write("data", 4));
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(dir.Read("out.bin"), "data");

  // Still open when its object dies: the work on it did not finish.
  {
    DiskFile late;
    ASSERT_TRUE(late.Open(dir.Path("late.bin").c_str(), {.access = ReadWrite,
                                                         .disposition = Disposition::CreateAlways,
                                                         .onFailure = OnFailure::Delete})
                    .IsOk());
  }
  EXPECT_FALSE(dir.Has("late.bin"));
  EXPECT_EQ(faults.OpenFiles(), 0);
}

TEST_F(DiskFileTest, FailedOpenDeletesOnlyAFileItCreated) {
  dir.Write("old.bin", "old");
  faults.FailNth(Op::Size, 1);
  EXPECT_EQ(HostCode(Open("old.bin", ReadWrite, Disposition::OpenAlways, Unmapped, OnFailure::Delete)), E_EOPEN);
  EXPECT_EQ(dir.Read("old.bin"), "old");
  EXPECT_TRUE(IsFree("old.bin"));

  faults.FailNth(Op::Size, 1);
  EXPECT_EQ(HostCode(Open("fresh.bin", ReadWrite, Disposition::CreateAlways, Unmapped, OnFailure::Delete)),
            E_ECREATE);
  EXPECT_FALSE(dir.Has("fresh.bin"));

  // A view that fails, also after the size is read again.
  dir.Write("img.tap", "abc");
  faults.FailEvery(Op::MapView);
  EXPECT_EQ(HostCode(Open("img.tap", Read, Disposition::OpenExisting, Mapped, OnFailure::Delete)), E_EOPEN);
  faults.Clear();
  EXPECT_TRUE(dir.Has("img.tap"));
  EXPECT_TRUE(IsFree("img.tap"));
  EXPECT_EQ(file.Bytes(), nullptr);
  EXPECT_EQ(faults.OpenFiles(), 0);
  // One that fails once is tried again.
  faults.FailNth(Op::MapView, 1);
  ASSERT_TRUE(Open("img.tap", Read, Disposition::OpenExisting, Mapped).IsOk());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Bytes()), 3), "abc");
}

TEST_F(DiskFileTest, SizeLimitGivesTheCallersResultAndDeletesNothing) {
  dir.Write("big.B", std::string(65534, 'x'));
  const Status result = Open("big.B", Read, Disposition::OpenExisting, Mapped, OnFailure::Delete, 65533);
  EXPECT_EQ(result.message, TooLarge.message);
  EXPECT_EQ(HostCode(result), E_NOT_SUPPORTED);
  EXPECT_TRUE(dir.Has("big.B"));
  EXPECT_TRUE(IsFree("big.B"));
  dir.Write("fits.B", std::string(65533, 'x'));
  EXPECT_TRUE(Open("fits.B", Read, Disposition::OpenExisting, Mapped, OnFailure::Delete, 65533).IsOk());
}

TEST_F(DiskFileTest, ClosingNothingSucceedsWhateverTheSystemSays) {
  faults.FailEvery(Op::Close);
  faults.FailEvery(Op::Delete);
  faults.FailEvery(Op::UnmapView);
  EXPECT_TRUE(file.Close(CloseAs::Failure).IsOk());
  EXPECT_FALSE(faults.Injected());
}

TEST_F(DiskFileTest, SecondOpenIsRefusedAndTheFirstFileStaysOpen) {
  dir.Write("a.tap", "abc");
  dir.Write("b.tap", "xyz");
  ASSERT_TRUE(Open("a.tap", ReadWrite, Disposition::OpenExisting, Mapped).IsOk());
  const Status second = Open("b.tap", Read, Disposition::OpenExisting, Mapped);
  EXPECT_STREQ(second.message, "Error 2834 (fileHandle already opened)");
  EXPECT_TRUE(second.flags & Status::Show);
  EXPECT_EQ(HostCode(second), 1);
  EXPECT_EQ(file.Bytes()[0], 'a');
  EXPECT_FALSE(IsFree("a.tap"));
  EXPECT_TRUE(IsFree("b.tap"));
}

TEST_F(DiskFileTest, WritesAndAViewAfterGrowing) {
  ASSERT_TRUE(Open("img.tap", ReadWrite, Disposition::OpenAlways, Unmapped).IsOk());
  faults.FailEvery(Op::Write);
  EXPECT_TRUE(file.Write("", 0));  // nothing to write cannot fail
  faults.Clear();
  EXPECT_TRUE(file.Write("abcdef", 6));
  // The size read at open was 0; viewing reads it again.
  ASSERT_TRUE(file.Map(ReadWrite));
  EXPECT_EQ(file.Size(), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Bytes()), 6), "abcdef");
  ASSERT_TRUE(file.Unmap());
  faults.FailNth(Op::Write, 1);
  EXPECT_FALSE(file.Write("Q", 1));
  EXPECT_TRUE(file.Write("Z", 1));
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(dir.Read("img.tap"), "abcdefZ");
}

TEST_F(DiskFileTest, ReadTakesExactlyTheBytesAskedFor) {
  dir.Write("src.C", "abcdef");
  ASSERT_TRUE(Open("src.C", Read, Disposition::OpenExisting, Unmapped).IsOk());
  EXPECT_EQ(file.Bytes(), nullptr);
  char bytes[8] = {};
  faults.FailEvery(Op::Read);
  EXPECT_TRUE(file.Read(bytes, 0));  // nothing to read cannot fail
  faults.Clear();
  ASSERT_TRUE(file.Read(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "abcd");
  EXPECT_FALSE(file.Read(bytes, 3));  // two bytes are left
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  ASSERT_TRUE(Open("src.C", Read, Disposition::OpenExisting, Unmapped).IsOk());
  faults.FailNth(Op::Read, 1);
  EXPECT_FALSE(file.Read(bytes, 6));
  EXPECT_TRUE(file.Read(bytes, 6));
  EXPECT_EQ(std::string(bytes, 6), "abcdef");
}

TEST_F(DiskFileTest, CloseFailureIsReportedAndTheObjectResetAllTheSame) {
  dir.Write("a.tap", "abc");
  for (const Op failing : {Op::UnmapView, Op::Close}) {
    SCOPED_TRACE(fault_os::NameOf(failing));
    ASSERT_TRUE(Open("a.tap", Read, Disposition::OpenExisting, Mapped).IsOk());
    faults.FailNth(failing, 1);
    EXPECT_EQ(HostCode(file.Close(CloseAs::Success)), E_ECLOSE);
    faults.Clear();
    EXPECT_FALSE(file.HasFile());
    EXPECT_EQ(file.Bytes(), nullptr);
    EXPECT_TRUE(IsFree("a.tap"));
    EXPECT_EQ(faults.OpenFiles(), 0);
    EXPECT_EQ(faults.LiveBlocks(), 0);
  }
}

// Callers retry opens on one object and need not destroy it after a failure.
TEST_F(DiskFileTest, FailedOpensLeaveNothingOwned) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    EXPECT_EQ(HostCode(Open("missing", ReadWrite, Disposition::OpenExisting, Unmapped)), E_EOPEN);
    EXPECT_EQ(faults.LiveBlocks(), 0);
  }
  faults.FailNth(Op::Size, 1);
  EXPECT_EQ(HostCode(Open("new", ReadWrite, Disposition::CreateNew, Unmapped)), E_ECREATE);
  EXPECT_EQ(faults.LiveBlocks(), 0);
  EXPECT_FALSE(file.Created());
  dir.Write("there", "x");
  EXPECT_TRUE(Open("there", Read, Disposition::OpenExisting, Unmapped).IsOk());
}

TEST_F(DiskFileTest, UnnamedFileTakesANameAndAnImagesPlace) {
  dir.Write("image.tap", "old");
  DiskFile image;
  ASSERT_TRUE(image.Open(dir.Path("image.tap").c_str(), {.access = ReadWrite, .view = Mapped}).IsOk());
  DiskFile replacement;
  if (replacement.CreateUnnamed(dir.Path("image.tap").c_str()).IsFailed()) GTEST_SKIP() << "no unnamed files here";
  EXPECT_TRUE(replacement.Write("new", 3));
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"image.tap"});
  ASSERT_TRUE(replacement.GiveName(dir.Path("image.tap.1.temp").c_str()));
  EXPECT_FALSE(replacement.GiveName(dir.Path("again.temp").c_str()));  // named once only
  ASSERT_TRUE(replacement.Close(CloseAs::Success).IsOk());
  ASSERT_TRUE(image.GiveWayTo(dir.Path("image.tap.1.temp").c_str()));
  EXPECT_FALSE(image.HasFile());
  EXPECT_EQ(dir.Read("image.tap"), "new");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"image.tap"});
  EXPECT_EQ(faults.OpenFiles(), 0);
}

}  // namespace
