#include "file/image_file.h"

#include <gtest/gtest.h>

#include <string>

#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"

namespace {

using platform_test::Fault;

constexpr Status TooLarge = ShownFailure("too large", E_NOT_SUPPORTED);

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
  }
  void TearDown() override {
    file.Destroy();
    platform_test::ResetAll();
  }

  Status Open(const std::string& name, bool writable, DWORD disposition, bool map, bool deleteOnFailure = false,
              std::uint64_t maximumSize = NoSizeLimit) {
    return file.Open(dir.Path(name).c_str(), {.access = writable ? FileAccess::ReadWrite : FileAccess::Read,
                                              .disposition = disposition,
                                              .view = map ? FileView::Mapped : FileView::None,
                                              .maximumSize = maximumSize,
                                              .tooLarge = TooLarge,
                                              .onFailure = deleteOnFailure ? OnFailure::Delete : OnFailure::Keep});
  }

  // Whether another writer could open the file now, i.e. nobody holds it.
  bool IsFree(const std::string& name) {
    HANDLE h = CreateFileA(dir.Path(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }

  ScratchDir dir;
  ImageFile file{};
};

TEST_F(ImageFileTest, EmptyImageGetsTheStandByMappingAndNoUnmappingCall) {
  dir.Write("empty.tap", "");
  ASSERT_TRUE(Open("empty.tap", false, OPEN_EXISTING, true).IsOk());
  EXPECT_TRUE(file.isOpen);
  EXPECT_EQ(file.mapping, reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(file.view, reinterpret_cast<void*>(1));
  EXPECT_EQ(file.mappedSize, 0u);
  EXPECT_EQ(platform_test::CallCount(Fault::CreateFileMapping), 0u);
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(platform_test::CallCount(Fault::UnmapViewOfFile), 0u);
  EXPECT_EQ(platform_test::CallCount(Fault::CloseHandle), 1u);
  EXPECT_EQ(file.mapping, nullptr);
  EXPECT_FALSE(file.HasFile());
}

TEST_F(ImageFileTest, MappedImageShowsItsBytesAndIsSharedWithReadersOnly) {
  dir.Write("a.tap", std::string("\x13\x00\x00", 3));
  ASSERT_TRUE(Open("a.tap", false, OPEN_EXISTING, true).IsOk());
  EXPECT_EQ(file.size, 3u);
  EXPECT_EQ(file.mappedSize, 3u);
  EXPECT_EQ(file.Bytes()[0], 0x13);
  EXPECT_FALSE(IsFree("a.tap"));
  ImageFile reader{};
  EXPECT_TRUE(reader.Open(dir.Path("a.tap").c_str(), {.view = FileView::Mapped}).IsOk());
  reader.Destroy();
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_TRUE(IsFree("a.tap"));
}

TEST_F(ImageFileTest, FailuresCarryTheDispositionsCodeSilently) {
  Status result = Open("missing.tap", false, OPEN_EXISTING, true);
  EXPECT_EQ(HostCode(result), E_EOPEN);
  EXPECT_FALSE(result.flags & Status::Show);
  result = Open("nodir/target", true, CREATE_ALWAYS, false, true);
  EXPECT_EQ(HostCode(result), E_ECREATE);
  result = Open("nodir/temp", true, CREATE_NEW, false);
  EXPECT_EQ(HostCode(result), E_ECREATE);
  result = Open("nodir/image", true, OPEN_ALWAYS, true);
  EXPECT_EQ(HostCode(result), E_EOPEN);
  EXPECT_TRUE(platform_test::TakeBoxes().empty());
}

TEST_F(ImageFileTest, OpenAlwaysTellsWhetherItCreatedTheFile) {
  ASSERT_TRUE(Open("new.tap", true, OPEN_ALWAYS, true).IsOk());
  EXPECT_TRUE(file.created);
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  ASSERT_TRUE(Open("new.tap", true, OPEN_ALWAYS, true).IsOk());
  EXPECT_FALSE(file.created);
}

TEST_F(ImageFileTest, FailedExtractionTargetIsDeletedOnClose) {
  ASSERT_TRUE(Open("out.bin", true, CREATE_ALWAYS, false, true).IsOk());
  EXPECT_TRUE(file.Write("data", 4));
  EXPECT_TRUE(file.Close(CloseAs::Failure).IsOk());
  EXPECT_FALSE(dir.Has("out.bin"));

  ASSERT_TRUE(Open("out.bin", true, CREATE_ALWAYS, false, true).IsOk());
  EXPECT_TRUE(file.Write("data", 4));
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(dir.Read("out.bin"), "data");

  // Still open when its object dies: the work on it did not finish.
  ASSERT_TRUE(Open("late.bin", true, CREATE_ALWAYS, false, true).IsOk());
  file.Destroy();
  EXPECT_FALSE(dir.Has("late.bin"));
}

TEST_F(ImageFileTest, FailedOpenDeletesOnlyAFileItCreated) {
  dir.Write("old.bin", "old");
  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_EQ(HostCode(Open("old.bin", true, CREATE_ALWAYS, false, true)), E_ECREATE);
  EXPECT_TRUE(dir.Has("old.bin"));
  EXPECT_TRUE(IsFree("old.bin"));

  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_EQ(HostCode(Open("fresh.bin", true, CREATE_ALWAYS, false, true)), E_ECREATE);
  EXPECT_FALSE(dir.Has("fresh.bin"));

  // A mapping that fails twice (the second time after reading the size again).
  dir.Write("img.tap", "abc");
  platform_test::FailEveryCall(Fault::CreateFileMapping);
  EXPECT_EQ(HostCode(Open("img.tap", false, OPEN_EXISTING, true, true)), E_EOPEN);
  EXPECT_EQ(platform_test::CallCount(Fault::CreateFileMapping), 2u);
  EXPECT_TRUE(dir.Has("img.tap"));
  EXPECT_TRUE(IsFree("img.tap"));
  EXPECT_EQ(file.mapping, nullptr);
}

TEST_F(ImageFileTest, SizeLimitGivesTheCallersResultAndDeletesNothing) {
  dir.Write("big.B", std::string(65534, 'x'));
  const Status result = Open("big.B", false, OPEN_EXISTING, true, true, 65533);
  EXPECT_EQ(result.message, TooLarge.message);
  EXPECT_EQ(HostCode(result), E_NOT_SUPPORTED);
  EXPECT_TRUE(dir.Has("big.B"));
  EXPECT_TRUE(IsFree("big.B"));
  dir.Write("fits.B", std::string(65533, 'x'));
  EXPECT_TRUE(Open("fits.B", false, OPEN_EXISTING, true, true, 65533).IsOk());
}

TEST_F(ImageFileTest, ClosingNothingSucceeds) {
  EXPECT_TRUE(file.Close(CloseAs::Failure).IsOk());
  EXPECT_EQ(platform_test::CallCount(Fault::CloseHandle), 0u);
  EXPECT_EQ(platform_test::CallCount(Fault::DeleteFile), 0u);
}

TEST_F(ImageFileTest, SecondOpenIsRefusedAndTheFirstFileStaysOpen) {
  dir.Write("a.tap", "abc");
  dir.Write("b.tap", "xyz");
  ASSERT_TRUE(Open("a.tap", true, OPEN_EXISTING, true).IsOk());
  const Status second = Open("b.tap", false, OPEN_EXISTING, true);
  EXPECT_STREQ(second.message, "Error 2834 (fileHandle already opened)");
  EXPECT_TRUE(second.flags & Status::Show);
  EXPECT_EQ(HostCode(second), 1);
  EXPECT_EQ(file.Bytes()[0], 'a');
  EXPECT_FALSE(IsFree("a.tap"));
  EXPECT_TRUE(IsFree("b.tap"));
}

TEST_F(ImageFileTest, WriteSeekTruncateAndMapAfterGrowing) {
  ASSERT_TRUE(Open("img.tap", true, OPEN_ALWAYS, false).IsOk());
  EXPECT_TRUE(file.Write("", 0));
  EXPECT_EQ(platform_test::CallCount(Fault::WriteFile), 0u);
  EXPECT_TRUE(file.Write("abcdef", 6));
  // The size read at open was 0; mapping reads it again.
  ASSERT_TRUE(file.Map(FileAccess::Read));
  EXPECT_EQ(file.mappedSize, 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Bytes()), 6), "abcdef");
  EXPECT_FALSE(file.Truncate(2));  // a mapped file keeps its length
  ASSERT_TRUE(file.Unmap());
  EXPECT_TRUE(file.Truncate(2));
  EXPECT_TRUE(file.SeekEnd());
  EXPECT_TRUE(file.Write("Z", 1));
  platform_test::FailCall(Fault::WriteFile, 1);
  EXPECT_FALSE(file.Write("Q", 1));
  platform_test::FailCall(Fault::SetEndOfFile, 1);
  EXPECT_FALSE(file.Truncate(0));
  platform_test::FailCall(Fault::SetFilePointer, 1);
  EXPECT_FALSE(file.SeekEnd());
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(dir.Read("img.tap"), "abZ");
}

TEST_F(ImageFileTest, ReadTakesExactlyTheBytesAskedFor) {
  dir.Write("src.C", "abcdef");
  ASSERT_TRUE(Open("src.C", false, OPEN_EXISTING, false).IsOk());
  EXPECT_EQ(file.mapping, nullptr);
  char bytes[8] = {};
  EXPECT_TRUE(file.Read(bytes, 0));
  EXPECT_EQ(platform_test::CallCount(Fault::ReadFile), 0u);
  ASSERT_TRUE(file.Read(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "abcd");
  EXPECT_FALSE(file.Read(bytes, 3));  // two bytes are left
  EXPECT_TRUE(file.Close(CloseAs::Success).IsOk());
  ASSERT_TRUE(Open("src.C", false, OPEN_EXISTING, false).IsOk());
  platform_test::FailCall(Fault::ReadFile, 1);
  EXPECT_FALSE(file.Read(bytes, 6));
  EXPECT_TRUE(file.Read(bytes, 6));
  EXPECT_EQ(std::string(bytes, 6), "abcdef");
}

TEST_F(ImageFileTest, CloseFailureIsReportedAndTheObjectResetAllTheSame) {
  dir.Write("a.tap", "abc");
  ASSERT_TRUE(Open("a.tap", false, OPEN_EXISTING, true).IsOk());
  const void* view = file.view;
  platform_test::FailCall(Fault::UnmapViewOfFile, 1);
  platform_test::FailCall(Fault::CloseHandle, 2);  // the file's, after the mapping's
  EXPECT_EQ(HostCode(file.Close(CloseAs::Success)), E_ECLOSE);
  EXPECT_FALSE(file.HasFile());
  EXPECT_EQ(file.mapping, nullptr);
  EXPECT_EQ(file.pathCopy, nullptr);
  // The view that the failed call left behind still holds the file, as on Windows.
  EXPECT_FALSE(IsFree("a.tap"));
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_TRUE(IsFree("a.tap"));
}

// Callers retry opens on one object and need not destroy it after a failure.
TEST_F(ImageFileTest, FailedOpensLeaveNothingOwned) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    EXPECT_EQ(HostCode(Open("missing", true, OPEN_EXISTING, false)), E_EOPEN);
    EXPECT_EQ(file.pathCopy, nullptr);
  }
  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_EQ(HostCode(Open("new", true, CREATE_NEW, false)), E_ECREATE);
  EXPECT_EQ(file.pathCopy, nullptr);
}

}  // namespace
