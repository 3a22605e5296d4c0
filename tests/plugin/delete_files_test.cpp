#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/tap_builder.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"
#include "tape/tap_format.h"

namespace {

using fault_os::ForEachFailingCall;
using fault_os::Op;
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

// How the image stands when a delete begins: as any image, or such that its
// replacement is refused.
enum class ImageState { Writable, ReadOnly, HeldByReader };

class DeleteFilesTest : public ::testing::Test {
 protected:
  // Stores the three entries as the image, in `state`; gives back the
  // reader that holds it, for Release.
  os::File* Prepare(ImageState state) {
    chmod(image.c_str(), 0644);
    StoreFile(image, ThreeEntries);
    if (state == ImageState::ReadOnly) chmod(image.c_str(), 0444);
    if (state != ImageState::HeldByReader) return nullptr;
    return os::Native.Open(image.c_str(), os::Access::Read, os::Disposition::OpenExisting, nullptr);
  }

  void Release(os::File* reader) {
    if (reader != nullptr) os::Native.Close(reader);
    chmod(image.c_str(), 0644);
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

  fault_os::FaultyOs faults;
  ScratchDir dir;
  const std::string image = dir.Path("GAMES.TAP");

 private:
  SettingsScope settings_{UnnumberedSettings()};
};

TEST_F(DeleteFilesTest, CutsTheEntryOutAndKeepsTheCreationTime) {
  StoreFile(image, ThreeEntries);
  const std::uint64_t created = 0x01C6F0B12A5D1C00u;  // 2007
  ASSERT_TRUE(SetTimesOf(image, created));

  ASSERT_EQ(Delete({"screen.C"}), 0);
  EXPECT_EQ(FileBytes(image), Text(Concat({Program, Loose})));
  EXPECT_EQ(TimesOf(image).creation, created);
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_TRUE(faults.TakeBoxes().empty());
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
      const std::vector<fault_os::Box> boxes = faults.TakeBoxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, CorruptedMessage);
      EXPECT_EQ(boxes[0].caption, "Doved error");
    }
  }
}

// Each OS call of a delete fails in turn: every run ends with the entry cut
// out, or with a code and the image as it was; with nothing left behind.
// A refused replacement (with an unnamed temporary file or, where none can be
// made, a named one) is always E_EWRITE, and a writable image is deleted from
// after the refused ones.
TEST_F(DeleteFilesTest, EveryFailingCallLeavesTheImageAsItWas) {
  const std::set<int> codes = {E_EOPEN, E_ECREATE, E_ECLOSE, E_EWRITE, E_NO_MEMORY};
  for (const ImageState state : {ImageState::ReadOnly, ImageState::HeldByReader, ImageState::Writable}) {
    SCOPED_TRACE(static_cast<int>(state));
    int code = 0;
    unsigned failures = 0;
    ForEachFailingCall(
        faults,
        [&] {
          os::File* reader = Prepare(state);
          code = Delete({"screen.C"});
          Release(reader);
        },
        [&](const std::string& failed) {
          SCOPED_TRACE(testing::Message() << (failed.empty() ? "nothing failing" : failed + " failing"));
          const std::vector<std::string> boxes = faults.TakeBoxTexts();
          if (state != ImageState::Writable) {
            EXPECT_NE(code, 0);
            if (failed.empty() || fault_os::Is(failed, Op::CreateUnnamed)) {
              EXPECT_EQ(code, E_EWRITE);
            }
          }
          if (code == 0) {
            EXPECT_EQ(FileBytes(image), Text(Concat({Program, Loose})));
          } else {
            ++failures;
            EXPECT_EQ(codes.count(code), 1u) << "code " << code;
            EXPECT_EQ(FileBytes(image), ThreeEntries);
          }
          EXPECT_TRUE(fault_os::BoxesFit(boxes, failed, code)) << boxes.size() << " boxes";
          // Only a temporary file whose deletion failed may stay.
          if (fault_os::Is(failed, Op::Delete)) {
            for (const std::string& name : Leftovers()) std::remove(dir.Path(name).c_str());
          }
          EXPECT_TRUE(Leftovers().empty());
          EXPECT_EQ(faults.OpenFiles(), 0);
          EXPECT_EQ(faults.LiveBlocks(), 0);
        });
    EXPECT_GT(failures, 5u);
  }
}

TEST_F(DeleteFilesTest, FailuresThatDoNotStopTheDelete) {
  const std::pair<Op, bool> cases[] = {
      {Op::Link, false},         // the first temporary name: another one is tried
      {Op::SetTimes, true},      // the creation time is carried over where it can be
      {Op::CopyMetadata, true},  // and so are permissions and attributes
  };
  for (const auto& [op, every] : cases) {
    SCOPED_TRACE(fault_os::NameOf(op));
    StoreFile(image, ThreeEntries);
    faults.Clear();
    if (every) {
      faults.FailEvery(op);
    } else {
      faults.FailNth(op, 1);
    }
    EXPECT_EQ(Delete({"hello.B"}), 0);
    EXPECT_EQ(FileBytes(image), Text(Concat({Screen, Loose})));
    EXPECT_TRUE(Leftovers().empty());
  }
}

// Where the system makes no unnamed files, each temporary name is an open:
// one that fails is followed by another name, and only the image's own
// open stops the delete.
TEST_F(DeleteFilesTest, FailedOpenOfATemporaryNameTriesAnother) {
  unsigned carriedOn = 0;
  for (unsigned nth = 1;; ++nth) {
    SCOPED_TRACE(::testing::Message() << "open " << nth << " failing");
    StoreFile(image, ThreeEntries);
    faults.FailEvery(Op::CreateUnnamed);
    faults.FailNth(Op::Open, nth);
    const int code = Delete({"hello.B"});
    const bool reached = faults.Calls(Op::Open) >= nth;  // the failing open happened
    faults.Clear();
    EXPECT_TRUE(Leftovers().empty());
    if (code == 0) {
      EXPECT_EQ(FileBytes(image), Text(Concat({Screen, Loose})));
    } else {
      EXPECT_EQ(code, E_EOPEN);
      EXPECT_EQ(FileBytes(image), ThreeEntries);
    }
    if (!reached) break;
    if (code == 0) ++carriedOn;
  }
  EXPECT_GT(carriedOn, 0u);
}

// What killed deletes and packs left (where the system makes no unnamed
// files) goes with the next delete or pack of the image, but only while
// nobody else has the image open: its replacement may be on its way.
TEST_F(DeleteFilesTest, NextDeleteOrPackRemovesLeftovers) {
  const std::string leftover = image + ".3989980075.temp";
  StoreFile(dir.Path("x.C"), "x");
  std::string sourceDirectory = dir.Path("");
  std::string addList("x.C\0", 5);
  const auto pack = [&] {
    std::string path = image;
    return PackFiles(path.data(), nullptr, sourceDirectory.data(), addList.data(), 0);
  };
  for (const bool deleting : {true, false}) {
    SCOPED_TRACE(deleting ? "delete" : "pack");
    for (const bool held : {true, false}) {
      os::File* reader = Prepare(held ? ImageState::HeldByReader : ImageState::Writable);
      StoreFile(leftover, "killed");
      faults.FailEvery(Op::CreateUnnamed);
      const int code = deleting ? Delete({"hello.B"}) : pack();
      faults.Clear();
      Release(reader);
      EXPECT_EQ(code, held ? (deleting ? E_EWRITE : E_EOPEN) : 0);
      EXPECT_EQ(FileExists(leftover), held);
    }
  }
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
  const std::vector<fault_os::Box> boxes = faults.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Filename too long");
}

}  // namespace
