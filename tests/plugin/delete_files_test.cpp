#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "helpers/tap_builder.h"
#include "platform/posix/test_hooks.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"
#include "tape/tap_format.h"

namespace {

using platform_test::Fault;
using tap_builder::Bytes;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Pattern;

constexpr const char* CorruptedMessage = "TAP image is corrupted and cannot be modified.";

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Listed as "hello.B", "screen.C" and "data1" with numbering off.
const Bytes Program = Concat({HeaderBlock(ProgramType, "hello", 100, 10, 100), DataBlock(Pattern(100))});
const Bytes Screen = Concat({HeaderBlock(CodeType, "screen", 6912, 16384, 32768), DataBlock(Pattern(6912, 3))});
const Bytes Loose = DataBlock(Pattern(50, 9));
const std::string ThreeEntries = Text(Concat({Program, Screen, Loose}));

class DeleteFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
    GetSettings(saved_);
    Settings plain = DefaultSettings();
    plain.FileNameNumbering = 0;
    SetSettings(plain);
  }
  void TearDown() override {
    SetSettings(saved_);
    platform_test::ResetAll();
  }

  // The host's DeleteList: names one after another, each ended by a NUL, and an empty name.
  int Delete(std::initializer_list<std::string> names) {
    std::string list;
    for (const std::string& name : names) list += name + '\0';
    list += '\0';
    std::string path = image;
    return DeleteFiles(path.data(), list.data());
  }

  // Whatever a delete left in the directory besides the image.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names = FilesIn(dir.Path(""));
    std::erase(names, "GAMES.TAP");
    return names;
  }

  ScratchDir dir;
  const std::string image = dir.Path("GAMES.TAP");

 private:
  Settings saved_{};
};

FILETIME CreationTimeOf(const std::string& path) {
  FILETIME creation{};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(GetFileTime(file, &creation, nullptr, nullptr));
  CloseHandle(file);
  return creation;
}

void SetCreationTime(const std::string& path, FILETIME creation) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(file, &creation, nullptr, nullptr));
  CloseHandle(file);
}

TEST_F(DeleteFilesTest, CutsTheEntryOutAndKeepsTheCreationTime) {
  StoreFile(image, ThreeEntries);
  const FILETIME created{0x2A5D1C00u, 0x01C6F0B1u};  // 2007
  SetCreationTime(image, created);

  ASSERT_EQ(Delete({"screen.C"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Program, Loose})));
  const FILETIME carried = CreationTimeOf(image);
  EXPECT_EQ(carried.dwLowDateTime, created.dwLowDateTime);
  EXPECT_EQ(carried.dwHighDateTime, created.dwHighDateTime);
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_TRUE(platform_test::TakeBoxes().empty());
  // The copy reached the disk before it replaced the image.
  EXPECT_EQ(platform_test::CallCount(Fault::FlushFileBuffers), 1u);
}

TEST_F(DeleteFilesTest, NamesMatchExactlyAndOnlyWhole) {
  struct Case {
    std::initializer_list<std::string> names;
    std::string expected;
  };
  const Case cases[] = {
      {{}, ThreeEntries},
      {{"nothing.B"}, ThreeEntries},
      {{"HELLO.B", "Data1"}, ThreeEntries},  // no case folding
      {{"hello", "hello.B ", "data"}, ThreeEntries},
      {{"screen.C", "screen.C"}, Text(Concat({Program, Loose}))},
      {{"data1", "hello.B"}, Text(Screen)},
      {{"hello.B", "screen.C", "data1"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::vector<std::string>(c.names)));
    StoreFile(image, ThreeEntries);
    EXPECT_EQ(Delete(c.names), 0);
    EXPECT_EQ(FileBytes(image), c.expected);
    EXPECT_TRUE(std::filesystem::exists(image));
    EXPECT_TRUE(Leftovers().empty());
  }
}

TEST_F(DeleteFilesTest, HeaderOnlyAndHeaderlessEntriesGoAsUnits) {
  const Bytes lonely = HeaderBlock(CodeType, "lonely", 3, 0, 0);  // followed by another header
  StoreFile(image, Text(Concat({lonely, Program, Loose})));
  ASSERT_EQ(Delete({"lonely.C"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Program, Loose})));

  StoreFile(image, Text(Concat({lonely, Program, Loose})));
  ASSERT_EQ(Delete({"data1"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({lonely, Program})));
}

TEST_F(DeleteFilesTest, DuplicateMarkSelectsOneOfTwoEqualNames) {
  const Bytes second = Concat({HeaderBlock(ProgramType, "hello", 7, 0, 7), DataBlock(Pattern(7, 5))});
  StoreFile(image, Text(Concat({Program, Screen, second})));
  ASSERT_EQ(Delete({"hello.B[2]"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Program, Screen})));

  StoreFile(image, Text(Concat({Program, Screen, second})));
  ASSERT_EQ(Delete({"hello.B"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Screen, second})));
}

TEST_F(DeleteFilesTest, DamagedLastBlockRefusesEveryDelete) {
  const std::string full = Text(Concat({Program, Screen}));
  const std::string damaged[] = {
      full.substr(0, full.size() - 10),           // the last data block runs past the end
      Text(Program) + std::string("\x01\x00\xFF", 3),  // a data block shorter than 2 bytes
  };
  for (const std::string& bytes : damaged) {
    for (const auto& names : {std::initializer_list<std::string>{"hello.B"}, {}, {"screen.C"}}) {
      StoreFile(image, bytes);
      EXPECT_EQ(Delete(names), E_BAD_ARCHIVE);
      EXPECT_EQ(FileBytes(image), bytes);
      EXPECT_TRUE(Leftovers().empty());
      const std::vector<platform_test::ShownBox> boxes = platform_test::TakeBoxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, CorruptedMessage);
      EXPECT_EQ(boxes[0].caption, "Doved error");
    }
  }
}

// Each file operation of a delete fails once in turn; none may cost the image.
TEST_F(DeleteFilesTest, EveryFailedFileOperationLeavesTheImageAsItWas) {
  StoreFile(image, ThreeEntries);
  platform_test::ClearFaults();
  ASSERT_EQ(Delete({"screen.C"}), 0);
  const unsigned writes = platform_test::CallCount(Fault::WriteFile);
  const unsigned closes = platform_test::CallCount(Fault::CloseHandle);
  EXPECT_EQ(writes, 3u);  // two blocks of the program, one loose block
  EXPECT_GE(closes, 2u);  // the temporary file, then the image

  struct Case {
    Fault fault;
    unsigned nth;
    int code;
  };
  std::vector<Case> cases = {
      {Fault::CreateFile, 1, E_EOPEN},     // the image
      {Fault::GetFileTime, 1, E_EOPEN},    // the image's times
      {Fault::FlushFileBuffers, 1, E_EWRITE},
      {Fault::UnmapViewOfFile, 1, E_ECLOSE},  // the image's close
      {Fault::MoveFile, 1, E_EWRITE},
  };
  for (unsigned n = 1; n <= writes; ++n) cases.push_back({Fault::WriteFile, n, E_EWRITE});
  for (unsigned n = 1; n <= closes; ++n) cases.push_back({Fault::CloseHandle, n, E_ECLOSE});

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "fault " << static_cast<int>(c.fault) << ", call " << c.nth);
    StoreFile(image, ThreeEntries);
    platform_test::ClearFaults();
    platform_test::FailCall(c.fault, c.nth);
    EXPECT_EQ(Delete({"screen.C"}), c.code);
    EXPECT_EQ(FileBytes(image), ThreeEntries);
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_TRUE(platform_test::TakeBoxes().empty());
  }
}

TEST_F(DeleteFilesTest, FailuresThatDoNotStopTheDelete) {
  const std::pair<Fault, unsigned> cases[] = {
      {Fault::CreateFile, 2},  // the first temporary name: another one is tried
      {Fault::SetFileTime, 1},  // the creation time is carried over where it can be
  };
  for (const auto& [fault, nth] : cases) {
    SCOPED_TRACE(static_cast<int>(fault));
    StoreFile(image, ThreeEntries);
    platform_test::ClearFaults();
    platform_test::FailCall(fault, nth);
    EXPECT_EQ(Delete({"hello.B"}), 0);
    EXPECT_EQ(FileBytes(image), Text(Concat({Screen, Loose})));
    EXPECT_TRUE(Leftovers().empty());
  }
}

TEST_F(DeleteFilesTest, RenameRefusedWhileTheImageIsHeldOpen) {
  StoreFile(image, ThreeEntries);
  HANDLE reader = CreateFileA(image.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Delete({"hello.B"}), E_EWRITE);
  EXPECT_EQ(FileBytes(image), ThreeEntries);
  EXPECT_TRUE(Leftovers().empty());
  CloseHandle(reader);

  EXPECT_EQ(Delete({"hello.B"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Screen, Loose})));
}

// A name of 250 characters leaves no room in the directory entry for ".<number>.temp".
TEST_F(DeleteFilesTest, NoRoomForATemporaryNameIsACreateFailure) {
  const std::string longName(250, 'g');
  StoreFile(dir.Path(longName), ThreeEntries);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path(""));  // the path must fit the host's 260 bytes
  std::string path = longName;
  std::string list("hello.B\0", 9);
  const int code = DeleteFiles(path.data(), list.data());
  std::filesystem::current_path(previous);

  EXPECT_EQ(code, E_ECREATE);
  EXPECT_EQ(FileBytes(dir.Path(longName)), ThreeEntries);
  EXPECT_EQ(FilesIn(dir.Path("")), std::vector<std::string>{longName});
}

TEST_F(DeleteFilesTest, NameThatCannotBeFormedStopsTheDelete) {
  Settings rarev = DefaultSettings();
  rarev.RarevCompatible = true;
  char* pattern = rarev.FileNamingMode.CompiledParamsPattern;
  std::memset(pattern, 0, PatternSize);
  std::memset(pattern, TagLen, 100);  // 100 parameter fields: far beyond 259 characters
  SetSettings(rarev);
  StoreFile(image, ThreeEntries);

  EXPECT_EQ(Delete({"data1"}), 1);
  EXPECT_EQ(FileBytes(image), ThreeEntries);
  EXPECT_TRUE(Leftovers().empty());
  const std::vector<platform_test::ShownBox> boxes = platform_test::TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Filename too long");
}

}  // namespace
