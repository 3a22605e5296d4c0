#include <gtest/gtest.h>
#include <sys/stat.h>

#include "helpers/open_descriptors.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"
#include "platform/windows_api.h"

namespace {

using platform_test::Fault;

HANDLE OpenFile(const std::string& path, bool writable, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), writable ? 0 : FILE_SHARE_READ,
                     nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::ResetAll(); }
  void TearDown() override { platform_test::ResetAll(); }
  ScratchDir dir;
};

TEST_F(FilesTest, DispositionsAndTheirLastError) {
  const std::string path = dir.Path("f");
  HANDLE h = OpenFile(path, true, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, "abc", 3, &written, nullptr));
  EXPECT_TRUE(CloseHandle(h));

  EXPECT_EQ(OpenFile(path, true, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  h = OpenFile(path, true, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  EXPECT_EQ(dir.Read("f"), "abc");

  h = OpenFile(path, true, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  EXPECT_EQ(dir.Read("f"), "");

  h = OpenFile(dir.Path("g"), true, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(h);
  h = OpenFile(dir.Path("h"), true, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(h);

  EXPECT_EQ(OpenFile(dir.Path("missing"), false, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenFile(dir.Path("nodir/x"), true, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, BackslashIsASeparator) {
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  std::string windowsPath = dir.Path("sub\\a.bin");
  HANDLE h = OpenFile(windowsPath, true, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(dir.Has("sub/a.bin"));
  EXPECT_TRUE(MoveFileExA(windowsPath.c_str(), dir.Path("sub\\b.bin").c_str(), 0));
  EXPECT_TRUE(dir.Has("sub/b.bin"));
  EXPECT_TRUE(DeleteFileA(dir.Path("sub\\b.bin").c_str()));
  EXPECT_FALSE(dir.Has("sub/b.bin"));
}

TEST_F(FilesTest, DirectoriesAndReadOnlyFilesAreRefusedAsOnWindows) {
  EXPECT_EQ(OpenFile(dir.Path(""), false, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFileA(dir.Path("").c_str()));

  const std::string path = dir.Write("ro", "keep");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(OpenFile(path, true, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(OpenFile(path, true, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(dir.Read("ro"), "keep");
  HANDLE h = OpenFile(path, false, OPEN_EXISTING);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST_F(FilesTest, WritePositionLengthAndSize) {
  HANDLE h = OpenFile(dir.Path("f"), true, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, "hello world", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  LARGE_INTEGER size{};
  ASSERT_TRUE(GetFileSizeEx(h, &size));
  EXPECT_EQ(size.QuadPart, 11);

  LARGE_INTEGER distance{};
  distance.QuadPart = 5;
  LARGE_INTEGER position{};
  ASSERT_TRUE(SetFilePointerEx(h, distance, &position, FILE_BEGIN));
  EXPECT_EQ(position.QuadPart, 5);
  ASSERT_TRUE(SetEndOfFile(h));
  distance.QuadPart = 0;
  ASSERT_TRUE(SetFilePointerEx(h, distance, &position, FILE_END));
  ASSERT_TRUE(WriteFile(h, "!", 1, &written, nullptr));
  distance.QuadPart = -1;
  EXPECT_FALSE(SetFilePointerEx(h, distance, nullptr, FILE_BEGIN));
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_TRUE(FlushFileBuffers(h));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(dir.Read("f"), "hello!");

  h = OpenFile(dir.Path("f"), false, OPEN_EXISTING);
  EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(SetEndOfFile(h));
  CloseHandle(h);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(CloseHandle(nullptr));
}

TEST_F(FilesTest, ReadStopsAtTheEndAndNeedsReadAccess) {
  const std::string path = dir.Write("f", "hello world");
  HANDLE h = OpenFile(path, false, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char bytes[32] = {};
  DWORD read = 99;
  platform_test::FailCall(Fault::ReadFile, 1);
  EXPECT_FALSE(ReadFile(h, bytes, 5, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
  EXPECT_EQ(read, 0u);
  ASSERT_TRUE(ReadFile(h, bytes, 5, &read, nullptr));  // the failed call did not move the position
  EXPECT_EQ(std::string(bytes, read), "hello");
  ASSERT_TRUE(ReadFile(h, bytes, sizeof bytes, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), " world");
  ASSERT_TRUE(ReadFile(h, bytes, sizeof bytes, &read, nullptr));
  EXPECT_EQ(read, 0u);
  LARGE_INTEGER distance{};
  distance.QuadPart = 6;
  ASSERT_TRUE(SetFilePointerEx(h, distance, nullptr, FILE_BEGIN));
  ASSERT_TRUE(ReadFile(h, bytes, 3, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), "wor");
  CloseHandle(h);

  h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReadFile(h, bytes, 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(h);
  EXPECT_FALSE(ReadFile(h, bytes, 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FilesTest, MoveReplacesOnlyWhenAsked) {
  const std::string from = dir.Write("from", "new");
  const std::string to = dir.Write("to", "old");
  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), 0));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(dir.Read("to"), "old");
  EXPECT_TRUE(dir.Has("from"));

  EXPECT_TRUE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(dir.Read("to"), "new");
  EXPECT_FALSE(dir.Has("from"));

  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA(from.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, InjectedFailuresChangeNothing) {
  platform_test::FailCall(Fault::CreateFile, 1);
  EXPECT_EQ(OpenFile(dir.Path("new"), true, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(dir.Has("new"));

  const std::string path = dir.Write("f", "12345");
  HANDLE h = OpenFile(path, true, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 7;
  platform_test::FailCall(Fault::WriteFile, 1);
  EXPECT_FALSE(WriteFile(h, "zz", 2, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(written, 0u);
  LARGE_INTEGER distance{};
  distance.QuadPart = 2;
  platform_test::FailCall(Fault::SetFilePointer, 1);
  EXPECT_FALSE(SetFilePointerEx(h, distance, nullptr, FILE_BEGIN));
  platform_test::FailCall(Fault::SetEndOfFile, 1);
  EXPECT_FALSE(SetEndOfFile(h));
  LARGE_INTEGER size{};
  platform_test::FailCall(Fault::GetFileSize, 1);
  EXPECT_FALSE(GetFileSizeEx(h, &size));
  platform_test::FailCall(Fault::FlushFileBuffers, 1);
  EXPECT_FALSE(FlushFileBuffers(h));
  // The position never moved: this write lands at the start.
  ASSERT_TRUE(WriteFile(h, "ab", 2, &written, nullptr));

  const int descriptors = OpenDescriptorCount();
  platform_test::FailCall(Fault::CloseHandle, 1);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
  EXPECT_FALSE(CloseHandle(h));  // already gone
  EXPECT_EQ(dir.Read("f"), "ab345");

  platform_test::FailCall(Fault::DeleteFile, 1);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  platform_test::FailCall(Fault::MoveFile, 1);
  EXPECT_FALSE(MoveFileExA(path.c_str(), dir.Path("g").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_TRUE(dir.Has("f"));
  EXPECT_FALSE(dir.Has("g"));
  // The writable handle closed by the failing call holds no lock any more.
  h = OpenFile(path, true, OPEN_EXISTING);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

}  // namespace
