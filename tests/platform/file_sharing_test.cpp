#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"
#include "platform/windows_api.h"

namespace {

HANDLE OpenFile(const std::string& path, bool writable, DWORD disposition = OPEN_EXISTING) {
  return CreateFileA(path.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), writable ? 0 : FILE_SHARE_READ,
                     nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The error of a refused open, or ERROR_SUCCESS when the open succeeded.
DWORD OpenError(const std::string& path, bool writable, DWORD disposition = OPEN_EXISTING) {
  HANDLE h = OpenFile(path, writable, disposition);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(h);
  return ERROR_SUCCESS;
}

// Runs `body` in a child process that holds `path` open (writable or not)
// until `body` returns; `body` runs in this process meanwhile.
void WhileChildHolds(const std::string& path, bool writable, const std::function<void()>& body) {
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool opened = OpenFile(path, writable) != INVALID_HANDLE_VALUE;
    char byte = opened ? 1 : 0;
    (void)!write(ready[1], &byte, 1);
    (void)!read(release[0], &byte, 1);
    _exit(0);
  }
  char opened = 0;
  ASSERT_EQ(read(ready[0], &opened, 1), 1);
  EXPECT_EQ(opened, 1);
  body();
  char byte = 0;
  (void)!write(release[1], &byte, 1);
  int status = 0;
  waitpid(child, &status, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

class FileSharingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    path = dir.Write("image.tap", "contents");
  }
  void TearDown() override { platform_test::ResetAll(); }
  ScratchDir dir;
  std::string path;
};

TEST_F(FileSharingTest, ReadersShareAWriterSharesWithNobody) {
  HANDLE reader = OpenFile(path, false);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenError(path, false), ERROR_SUCCESS);
  EXPECT_EQ(OpenError(path, true), ERROR_SHARING_VIOLATION);
  // A refused CREATE_ALWAYS must not have truncated the file in use.
  EXPECT_EQ(OpenError(path, true, CREATE_ALWAYS), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(dir.Read("image.tap"), "contents");
  CloseHandle(reader);

  HANDLE writer = OpenFile(path, true);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenError(path, false), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(OpenError(path, true), ERROR_SHARING_VIOLATION);
  CloseHandle(writer);
  EXPECT_EQ(OpenError(path, true), ERROR_SUCCESS);
}

TEST_F(FileSharingTest, AnotherProcessIsRefusedAtOnce) {
  WhileChildHolds(path, true, [&] {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OpenError(path, false), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenError(path, true), ERROR_SHARING_VIOLATION);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  });
  WhileChildHolds(path, false, [&] {
    EXPECT_EQ(OpenError(path, false), ERROR_SUCCESS);
    EXPECT_EQ(OpenError(path, true), ERROR_SHARING_VIOLATION);
  });
  EXPECT_EQ(OpenError(path, true), ERROR_SUCCESS);
}

TEST_F(FileSharingTest, FilesInUseAreNeitherDeletedNorReplaced) {
  const std::string other = dir.Write("image.tap.1.temp", "replacement");
  WhileChildHolds(path, false, [&] {
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(MoveFileExA(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MoveFileExA(path.c_str(), dir.Path("moved").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  });
  EXPECT_EQ(dir.Read("image.tap"), "contents");
  EXPECT_TRUE(dir.Has("image.tap.1.temp"));
  EXPECT_TRUE(MoveFileExA(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(dir.Read("image.tap"), "replacement");
}

}  // namespace
