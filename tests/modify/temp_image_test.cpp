#include "modify/temp_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"

namespace {

class TempImageTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::ResetAll(); }
  void TearDown() override {
    file.Destroy();
    platform_test::ResetAll();
  }

  std::string Image() const { return dir.Path("GAMES.TAP"); }

  ScratchDir dir;
  ImageFile file{};
  String name;
};

// Numbers handed out in a fixed order, so that a name can be taken beforehand.
std::uint32_t numbers[5];
int nextNumber = 0;
std::uint32_t ScriptedNumber() { return numbers[nextNumber++ % 5]; }
void Script(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t e) {
  numbers[0] = a, numbers[1] = b, numbers[2] = c, numbers[3] = d, numbers[4] = e;
  nextNumber = 0;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(TempImageTest, NameIsTheImagePathANumberAndTemp) {
  Script(0, 0, 0, 0, 0);
  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_EQ(std::string(name.CStr()), Image() + ".0.temp");
  file.Destroy();

  Script(4294967295u, 0, 0, 0, 0);
  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_EQ(std::string(name.CStr()), Image() + ".4294967295.temp");
  // Created empty and open for writing, not mapped.
  EXPECT_EQ(FileBytes(name.CStr()), "");
  EXPECT_EQ(file.mapping, nullptr);
  ASSERT_TRUE(file.Write("abc", 3));
  ASSERT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(FileBytes(Image() + ".4294967295.temp"), "abc");
}

TEST_F(TempImageTest, TakenNameIsLeftAloneAndAnotherTriedAfterAPause) {
  const std::string taken = Image() + ".7.temp";
  StoreFile(taken, "someone else's");
  Script(7, 8, 0, 0, 0);

  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_GE(MillisecondsSince(start), 5.0);
  EXPECT_EQ(std::string(name.CStr()), Image() + ".8.temp");
  EXPECT_EQ(FileBytes(taken), "someone else's");
  EXPECT_EQ(platform_test::CallCount(platform_test::Fault::CreateFile), 2u);
}

TEST_F(TempImageTest, GivesUpAfterFiveTakenNames) {
  const std::string taken = Image() + ".7.temp";
  StoreFile(taken, "kept");
  Script(7, 7, 7, 7, 7);

  const auto start = std::chrono::steady_clock::now();
  const Status status = MakeTempImage(Image().c_str(), name, file, ScriptedNumber);
  EXPECT_GE(MillisecondsSince(start), 25.0);  // the pause follows the last attempt too
  EXPECT_TRUE(status.IsFailed());
  EXPECT_EQ(HostCode(status), E_ECREATE);
  EXPECT_EQ(name.length, 0u);
  EXPECT_EQ(platform_test::CallCount(platform_test::Fault::CreateFile), 5u);
  EXPECT_FALSE(file.HasFile());
  EXPECT_EQ(FileBytes(taken), "kept");
  EXPECT_EQ(FilesIn(dir.Path("")).size(), 1u);
}

TEST_F(TempImageTest, NameThatCannotBeFormedIsACreateFailure) {
  platform_test::FailEveryCall(platform_test::Fault::HeapAlloc);
  const Status status = MakeTempImage(Image().c_str(), name, file);
  platform_test::ClearFaults();
  EXPECT_EQ(HostCode(status), E_ECREATE);
  EXPECT_NE(status.flags & Status::Show, 0);  // "Not enough memory" is still shown
  EXPECT_EQ(platform_test::CallCount(platform_test::Fault::CreateFile), 0u);
  EXPECT_TRUE(FilesIn(dir.Path("")).empty());
}

}  // namespace
