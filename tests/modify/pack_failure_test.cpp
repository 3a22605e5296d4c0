// Packing is all or nothing: each OS call that packing makes is made to fail
// in turn, and every run must end either with success and the image holding
// the old bytes and the new blocks, or with a host code and the image as it
// was (absent when the call created it); either way with no file left open,
// no heap block left allocated, and no other file in the directory.
#include <sys/stat.h>

#include <set>
#include <utility>

#include "helpers/pack_session.h"
#include "helpers/tap_builder.h"
#include "modify/block_writer.h"

namespace {

using fault_os::ForEachFailingCall;
using fault_os::Op;
using pack_test::AsText;
using pack_test::Pack;
using pack_test::PackingTest;
using pack_test::PairTime;
using pack_test::WriteSource;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;

// The codes a failing OS call may lead packing to.
const std::set<int> FileFailureCodes = {E_EOPEN, E_ECREATE, E_ECLOSE, E_EWRITE, E_NO_MEMORY};

class PackFailureTest : public PackingTest {
 protected:
  void SetUp() override {
    PackingTest::SetUp();
    WriteSource(Source("a.C"), "abc", PairTime(32768, 3));
    WriteSource(Source("data1"), "raw", HeaderlessMarkerTime);
  }

  std::string Existing() const { return AsText(Concat({HeaderBlock(3, "old", 1, 0, 0x8000), DataBlock({9})})); }
  std::string Added() const {
    return AsText(Concat({HeaderBlock(3, "a", 3, 32768, 0x8000), DataBlock({'a', 'b', 'c'}), DataBlock({'r', 'a', 'w'})}));
  }

  void RemoveTemporaryFiles() {
    for (const std::string& name : TempFilesIn(dir_.Path())) std::remove(dir_.Path(name).c_str());
  }

  // Packs "a.C" and "data1" into an existing image, or into a new one, with
  // each call failing in turn. A read-only image refuses every run.
  void CheckEveryFailingCall(bool newImage, int flags, bool readOnly = false) {
    const std::string before = newImage ? "" : Existing();
    const std::vector<std::string> expectedFiles =
        newImage ? std::vector<std::string>{"a.C", "data1"} : std::vector<std::string>{"a.C", "data1", "image.tap"};
    unsigned failures = 0;
    int code = 0;
    const unsigned runs = ForEachFailingCall(
        faults_,
        [&] {
          std::remove(ImagePath().c_str());
          WriteSource(Source("a.C"), "abc", PairTime(32768, 3));
          WriteSource(Source("data1"), "raw", HeaderlessMarkerTime);
          if (!newImage) StoreFile(ImagePath(), before);
          if (readOnly) chmod(ImagePath().c_str(), 0444);
          code = Pack(ImagePath(), SourceDir(), {"a.C", "data1"}, flags);
          chmod(ImagePath().c_str(), 0644);
        },
        [&](const std::string& failed) {
          SCOPED_TRACE(::testing::Message() << (failed.empty() ? "nothing failing" : failed + " failing")
                                            << (newImage ? ", new image" : ", existing image"));
          const std::vector<std::string> boxes = BoxTexts();
          // Sources of a move that cannot be removed stay, and the user is
          // told; the packing stands.
          const bool sourcesKept = boxes == std::vector<std::string>{"Error deleting source files/directories"} ||
                                   boxes == std::vector<std::string>{"Not enough memory"};
          if (readOnly) {
            EXPECT_NE(code, 0);
          }
          if (code == 0) {
            EXPECT_EQ(FileBytes(ImagePath()), before + Added());
            if ((flags & PK_PACK_MOVE_FILES) == 0 || !sourcesKept) {
              EXPECT_TRUE(fault_os::BoxesFit(boxes, failed, code));
            }
          } else {
            ++failures;
            EXPECT_TRUE(readOnly || !failed.empty());
            EXPECT_EQ(FileFailureCodes.count(code), 1u) << "code " << code;
            if (newImage) {
              EXPECT_FALSE(FileExists(ImagePath()));
            } else {
              EXPECT_EQ(FileBytes(ImagePath()), before);
            }
            EXPECT_TRUE(fault_os::BoxesFit(boxes, failed, code)) << boxes.size() << " boxes";
            // Sources of a move stay until the packing stands.
            EXPECT_TRUE(FileExists(Source("a.C")));
            EXPECT_TRUE(FileExists(Source("data1")));
          }
          // Only a temporary file whose deletion failed may stay.
          if (fault_os::Is(failed, Op::Delete)) RemoveTemporaryFiles();
          if (code == 0 && (flags & PK_PACK_MOVE_FILES) != 0) {
            if (!sourcesKept) {
              EXPECT_EQ(FilesIn(dir_.Path()), std::vector<std::string>{"image.tap"});
            }
          } else if (code == 0 || !newImage) {
            EXPECT_EQ(FilesIn(dir_.Path()), (std::vector<std::string>{"a.C", "data1", "image.tap"}));
          } else {
            EXPECT_EQ(FilesIn(dir_.Path()), (std::vector<std::string>{"a.C", "data1"}));
          }
          EXPECT_EQ(faults_.OpenFiles(), 0);
          EXPECT_EQ(faults_.LiveBlocks(), 0);
        });
    EXPECT_GT(runs, 10u);
    EXPECT_GT(failures, 0u);
  }
};

TEST_F(PackFailureTest, EveryFailingCallLeavesAnExistingImageAsItWas) { CheckEveryFailingCall(false, 0); }

TEST_F(PackFailureTest, EveryFailingCallLeavesNoNewImageBehind) { CheckEveryFailingCall(true, 0); }

TEST_F(PackFailureTest, EveryFailingCallOfAMoveKeepsTheSources) { CheckEveryFailingCall(false, PK_PACK_MOVE_FILES); }

TEST_F(PackFailureTest, EveryFailingCallOfAMoveIntoANewImageKeepsTheSources) {
  CheckEveryFailingCall(true, PK_PACK_MOVE_FILES);
}

TEST_F(PackFailureTest, EveryFailingCallOfAMoveIntoAReadOnlyImageLeavesAllAsItWas) {
  CheckEveryFailingCall(false, PK_PACK_MOVE_FILES, true);
}

// Moved files have no other copy once they go: a new image whose bytes or
// name cannot be put on disk keeps them, as a replaced one does.
TEST_F(PackFailureTest, MovedFilesStayWhenTheImageCannotReachTheDisk) {
  for (const auto& [newImage, op] : {std::pair{true, Op::Flush}, {true, Op::FlushName}, {false, Op::Flush}}) {
    SCOPED_TRACE(::testing::Message() << (newImage ? "new image, " : "existing image, ") << fault_os::NameOf(op));
    std::remove(ImagePath().c_str());
    if (!newImage) StoreFile(ImagePath(), Existing());
    faults_.FailEvery(op);
    EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "data1"}, PK_PACK_MOVE_FILES), E_EWRITE);
    faults_.Clear();
    EXPECT_TRUE(FileExists(Source("a.C")));
    EXPECT_TRUE(FileExists(Source("data1")));
    if (newImage) {
      EXPECT_FALSE(FileExists(ImagePath()));
    } else {
      EXPECT_EQ(FileBytes(ImagePath()), Existing());
    }
    BoxTexts();
  }
  // Files that stay where they are need no flush of a new image.
  std::remove(ImagePath().c_str());
  faults_.FailEvery(Op::Flush);
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "data1"}, 0), 0);
  EXPECT_EQ(FileBytes(ImagePath()), Added());
}

// Blocks too many for one write: the first header goes out before the big
// data block, which is larger than the buffer and goes out on its own; the
// next blocks fill the buffer until the small data block no longer fits;
// the rest goes out at the end. Whichever write fails, what the earlier
// ones appended is cut off again.
TEST_F(PackFailureTest, WriteThatFailsHalfwayLeavesTheImageAsItWas) {
  constexpr std::uint32_t Buffer = BlockWriter::BufferSize;
  const std::string big(Buffer - 3, 'b');
  const std::string middle(Buffer / 4 * 3, 'm');
  const std::string small(Buffer / 3, 's');
  WriteSource(Source("big.C"), big);
  WriteSource(Source("middle.C"), middle);
  WriteSource(Source("small.C"), small);
  const std::vector<std::string> names = {"big.C", "middle.C", "small.C", "a.C", "data1"};
  const auto payload = [](const std::string& text) { return tap_builder::Bytes(text.begin(), text.end()); };
  const std::string packed =
      Existing() + AsText(Concat({HeaderBlock(3, "big", Buffer - 3, 0, 0x8000), DataBlock(payload(big)),
                                  HeaderBlock(3, "middle", Buffer / 4 * 3, 0, 0x8000), DataBlock(payload(middle)),
                                  HeaderBlock(3, "small", Buffer / 3, 0, 0x8000), DataBlock(payload(small))})) +
      Added();

  unsigned failedWrites = 0;
  for (unsigned nth = 1;; ++nth) {
    SCOPED_TRACE(::testing::Message() << "write " << nth);
    StoreFile(ImagePath(), Existing());
    faults_.FailNth(Op::Write, nth);
    const int code = Pack(ImagePath(), SourceDir(), names);
    const bool injected = faults_.Injected();
    faults_.Clear();
    if (!injected) {
      EXPECT_EQ(code, 0);
      EXPECT_EQ(FileBytes(ImagePath()), packed);
      break;
    }
    ++failedWrites;
    EXPECT_EQ(code, E_EWRITE);
    EXPECT_EQ(FileBytes(ImagePath()), Existing());
  }
  // The blocks went out in more than one write, and each was tried failing.
  EXPECT_GT(failedWrites, 1u);
  EXPECT_TRUE(BoxTexts().empty());
}

// A refused pack touches no byte of the image, and so not its date either,
// which the listing shows for every entry.
TEST_F(PackFailureTest, RefusedPackLeavesTheImagesBytesAndDate) {
  WriteSource(Source("big.C"), std::string(65534, 'x'));
  const std::uint64_t monthsAgo = UtcFileTime(2026, 1, 2, 3, 4, 5);
  for (const char* refused : {"big.C", "missing.C"}) {
    SCOPED_TRACE(refused);
    StoreFile(ImagePath(), Existing());
    ASSERT_TRUE(SetTimesOf(ImagePath(), 0, monthsAgo));
    EXPECT_NE(Pack(ImagePath(), SourceDir(), {"a.C", refused}), 0);
    EXPECT_EQ(FileBytes(ImagePath()), Existing());
    EXPECT_EQ(TimesOf(ImagePath()).lastWrite, monthsAgo);
    BoxTexts();
  }
}

}  // namespace
