#include "modify/temp_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "helpers/fault_os.h"

namespace {

using fault_os::Op;

class TempImageTest : public ::testing::Test {
 protected:
  std::string Image() const { return dir.Path("GAMES.TAP"); }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  DiskFile file;
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

TEST_F(TempImageTest, NameIsTheImagePathANumberAndTemp) {
  Script(0, 0, 0, 0, 0);
  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_EQ(std::string(name.CStr()), Image() + ".0.temp");
  ASSERT_TRUE(file.Close(CloseAs::Success).IsOk());

  Script(4294967295u, 0, 0, 0, 0);
  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_EQ(std::string(name.CStr()), Image() + ".4294967295.temp");
  // Created empty and open for writing, not mapped.
  EXPECT_EQ(FileBytes(name.CStr()), "");
  EXPECT_EQ(file.Bytes(), nullptr);
  ASSERT_TRUE(file.Write("abc", 3));
  ASSERT_TRUE(file.Close(CloseAs::Success).IsOk());
  EXPECT_EQ(FileBytes(Image() + ".4294967295.temp"), "abc");
}

TEST_F(TempImageTest, TakenNameIsLeftAloneAndAnotherTriedAfterAPause) {
  const std::string taken = Image() + ".7.temp";
  StoreFile(taken, "someone else's");
  Script(7, 8, 0, 0, 0);

  ASSERT_TRUE(MakeTempImage(Image().c_str(), name, file, ScriptedNumber).IsOk());
  EXPECT_EQ(std::string(name.CStr()), Image() + ".8.temp");
  EXPECT_EQ(FileBytes(taken), "someone else's");
  // A pause after each name that was taken, none after the one that was free.
  EXPECT_EQ(faults.Pauses(), static_cast<unsigned>(nextNumber - 1));
}

TEST_F(TempImageTest, GivesUpAfterFiveTakenNames) {
  const std::string taken = Image() + ".7.temp";
  StoreFile(taken, "kept");
  Script(7, 7, 7, 7, 7);

  const Status status = MakeTempImage(Image().c_str(), name, file, ScriptedNumber);
  EXPECT_EQ(nextNumber, 5);  // five names tried
  EXPECT_EQ(faults.Pauses(), 5u);  // the pause follows the last attempt too
  EXPECT_TRUE(status.IsFailed());
  EXPECT_EQ(HostCode(status), E_ECREATE);
  EXPECT_EQ(name.length, 0u);
  EXPECT_FALSE(file.HasFile());
  EXPECT_EQ(FileBytes(taken), "kept");
  EXPECT_EQ(FilesIn(dir.Path("")).size(), 1u);
}

TEST_F(TempImageTest, NameThatCannotBeFormedIsACreateFailure) {
  faults.FailEvery(Op::Allocate);
  const Status status = MakeTempImage(Image().c_str(), name, file);
  faults.Clear();
  EXPECT_EQ(HostCode(status), E_ECREATE);
  EXPECT_NE(status.flags & Status::Show, 0);  // "Not enough memory" is still shown
  EXPECT_TRUE(FilesIn(dir.Path("")).empty());
}

// Only names of exactly the form MakeTempImage gives, and only those that
// nobody holds, are removed.
TEST_F(TempImageTest, LeftoversThatNobodyHoldsAreRemoved) {
  const std::string image = Image();
  StoreFile(image, "image");
  const std::vector<std::string> gone = {".0.temp", ".123.temp", ".4294967295.temp"};
  const std::vector<std::string> kept = {".4294967296.temp", ".0123.temp", ".12a.temp", "..temp", ".1.temp.bak",
                                         ".1.TEMP",          ".1.temp.1.temp", ".7.temp"};
  for (const std::string& end : gone) StoreFile(image + end, "x");
  for (const std::string& end : kept) StoreFile(image + end, "x");
  StoreFile(dir.Path("OTHER.TAP.1.temp"), "x");
  // A live process's temporary image is open.
  os::File* held = os::Native.Open((image + ".7.temp").c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting,
                                   nullptr);
  ASSERT_NE(held, nullptr);
  RemoveTempLeftovers(image.c_str());
  os::Native.Close(held);
  std::vector<std::string> expected = {"GAMES.TAP", "OTHER.TAP.1.temp"};
  for (const std::string& end : kept) expected.push_back("GAMES.TAP" + end);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(dir.Path("")), expected);
  // A directory that cannot be read leaves everything as it was.
  StoreFile(image + ".5.temp", "x");
  faults.FailEvery(Op::FindNames);
  RemoveTempLeftovers(image.c_str());
  EXPECT_TRUE(FileExists(image + ".5.temp"));
}

}  // namespace
