#include <gtest/gtest.h>

#include <cstring>

#include "helpers/open_descriptors.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"
#include "platform/windows_api.h"

namespace {

using platform_test::Fault;

class FileMappingTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::ResetAll(); }
  void TearDown() override { platform_test::ResetAll(); }

  HANDLE Open(const std::string& name, bool writable) {
    return CreateFileA(dir.Path(name).c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0),
                       writable ? 0 : FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ScratchDir dir;
};

TEST_F(FileMappingTest, ReadOnlyViewOutlivesTheFileHandle) {
  dir.Write("f", "tape bytes");
  HANDLE file = Open("f", false);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  EXPECT_NE(mapping, file);
  ASSERT_TRUE(CloseHandle(file));
  const auto* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 10), "tape bytes");
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
}

// The file's descriptor serves its mapping too: it is released with the
// last of the two handles, in whichever order they are closed.
TEST_F(FileMappingTest, FileAndMappingReleaseTheirDescriptorWithTheLastHandle) {
  dir.Write("f", "tape bytes");
  const int descriptors = OpenDescriptorCount();
  for (const bool fileFirst : {true, false}) {
    SCOPED_TRACE(fileFirst ? "file closed first" : "mapping closed first");
    HANDLE file = Open("f", true);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    ASSERT_TRUE(CloseHandle(fileFirst ? file : mapping));
    if (fileFirst) {
      auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
      ASSERT_NE(view, nullptr);
      view[0] = 'T';
      EXPECT_TRUE(UnmapViewOfFile(view));
    } else {
      LARGE_INTEGER size{};
      EXPECT_TRUE(GetFileSizeEx(file, &size));
      EXPECT_EQ(size.QuadPart, 10);
      DWORD written = 0;
      EXPECT_TRUE(WriteFile(file, "S", 1, &written, nullptr));
    }
    EXPECT_TRUE(CloseHandle(fileFirst ? mapping : file));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
  }
  EXPECT_EQ(dir.Read("f"), "Sape bytes");
  // A mapping of a file whose handle is gone cannot be made.
  HANDLE file = Open("f", false);
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FileMappingTest, EmptyFilesAndReadOnlyHandlesCannotBeMappedForWriting) {
  dir.Write("empty", "");
  HANDLE file = Open("empty", true);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
  CloseHandle(file);

  dir.Write("f", "x");
  file = Open("f", false);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(file);
}

// As on Windows, a mapped file keeps its length until every view and mapping is gone.
TEST_F(FileMappingTest, WritableViewReachesTheFileAndPinsItsLength) {
  dir.Write("f", "abcdef");
  HANDLE file = Open("f", true);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  std::memcpy(view, "XY", 2);

  LARGE_INTEGER distance{};
  distance.QuadPart = 3;
  ASSERT_TRUE(SetFilePointerEx(file, distance, nullptr, FILE_BEGIN));
  EXPECT_FALSE(SetEndOfFile(file));
  EXPECT_EQ(GetLastError(), ERROR_USER_MAPPED_FILE);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(SetEndOfFile(file));
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(dir.Read("f"), "XYc");
}

TEST_F(FileMappingTest, InjectedFailures) {
  dir.Write("f", "data");
  HANDLE file = Open("f", false);
  platform_test::FailCall(Fault::CreateFileMapping, 1);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  platform_test::FailCall(Fault::MapViewOfFile, 1);
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  platform_test::FailCall(Fault::UnmapViewOfFile, 1);
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_EQ(static_cast<const char*>(view)[0], 'd');  // still mapped
  EXPECT_TRUE(UnmapViewOfFile(view));
  CloseHandle(mapping);
  CloseHandle(file);
}

}  // namespace
