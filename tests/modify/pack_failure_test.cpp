// Packing is all or nothing: every file operation that packing performs is
// made to fail once, and the image must be as it was before the call (or
// absent when the call created it), with the host code of the failure.
#include <map>
#include <utility>

#include "helpers/pack_session.h"
#include "helpers/tap_builder.h"
#include "modify/block_writer.h"

namespace {

using pack_test::AsText;
using pack_test::Pack;
using pack_test::PackingTest;
using pack_test::PairTime;
using pack_test::WriteSource;
using platform_test::Fault;
using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;

// What the nth call of an operation failing once must lead to.
struct Outcome {
  int code;
  bool extended;  // the image holds the packed files all the same
};

constexpr Outcome Succeeds{0, true};
constexpr Outcome Fails(int code) { return {code, false}; }

using Expectations = std::map<std::pair<Fault, unsigned>, Outcome>;

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

  // Packs "a.C" and "data1" with the nth call of `fault` failing; `image`
  // is what lies at the image path before (absent when empty optional).
  void Check(Fault fault, unsigned nth, const Outcome& expected, bool newImage) {
    SCOPED_TRACE(::testing::Message() << "fault " << static_cast<int>(fault) << " call " << nth
                                      << (newImage ? " on a new image" : " on an existing image"));
    std::remove(ImagePath().c_str());
    if (!newImage) StoreFile(ImagePath(), Existing());
    platform_test::ClearFaults();
    platform_test::FailCall(fault, nth);
    const int code = Pack(ImagePath(), SourceDir(), {"a.C", "data1"});
    platform_test::ClearFaults();
    EXPECT_EQ(code, expected.code);
    EXPECT_TRUE(BoxTexts().empty());  // file failures say nothing but their code
    const std::string before = newImage ? "" : Existing();
    if (expected.extended) {
      EXPECT_EQ(FileBytes(ImagePath()), before + Added());
    } else if (newImage) {
      EXPECT_FALSE(FileExists(ImagePath()));
    } else {
      EXPECT_EQ(FileBytes(ImagePath()), before);
    }
    EXPECT_TRUE(FileExists(Source("a.C")));
  }

  // How often packing calls `fault` when nothing fails.
  unsigned CallsOf(Fault fault, bool newImage) {
    std::remove(ImagePath().c_str());
    if (!newImage) StoreFile(ImagePath(), Existing());
    platform_test::ClearFaults();
    EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "data1"}), 0);
    return platform_test::CallCount(fault);
  }

  void CheckEveryCall(const Expectations& expectations, bool newImage) {
    for (const Fault fault : {Fault::CreateFile, Fault::GetFileSize, Fault::CreateFileMapping, Fault::MapViewOfFile,
                              Fault::ReadFile, Fault::GetFileTime, Fault::UnmapViewOfFile, Fault::CloseHandle,
                              Fault::SetFilePointer, Fault::WriteFile, Fault::SetEndOfFile}) {
      const unsigned calls = CallsOf(fault, newImage);
      for (unsigned nth = 1; nth <= calls; ++nth) {
        const auto expected = expectations.find({fault, nth});
        ASSERT_NE(expected, expectations.end())
            << "unexpected call " << nth << " of fault " << static_cast<int>(fault);
        Check(fault, nth, expected->second, newImage);
      }
      // Every expected call was made.
      for (const auto& [key, outcome] : expectations) {
        if (key.first == fault) {
          EXPECT_LE(key.second, calls) << "fault " << static_cast<int>(fault);
        }
      }
    }
  }
};

// The calls in order: the image is opened, mapped and its times read; it is
// unmapped and positioned at its end; each source is opened, read whole, its
// time read and closed; the write phase seeks and writes each block; the
// image is closed.
TEST_F(PackFailureTest, EveryFailingCallLeavesAnExistingImageAsItWas) {
  const Expectations expectations = {
      {{Fault::CreateFile, 1}, Fails(E_EOPEN)},         // the image
      {{Fault::CreateFile, 2}, Fails(E_EOPEN)},         // a.C
      {{Fault::CreateFile, 3}, Fails(E_EOPEN)},         // data1
      {{Fault::GetFileSize, 1}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 2}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 3}, Fails(E_EOPEN)},
      // A mapping that fails is tried once more after the size is read again.
      {{Fault::CreateFileMapping, 1}, Succeeds},
      {{Fault::MapViewOfFile, 1}, Fails(E_EOPEN)},
      {{Fault::ReadFile, 1}, Fails(E_EOPEN)},           // a.C
      {{Fault::ReadFile, 2}, Fails(E_EOPEN)},           // data1
      {{Fault::GetFileTime, 1}, Fails(E_EOPEN)},
      {{Fault::GetFileTime, 2}, Fails(E_EOPEN)},
      {{Fault::GetFileTime, 3}, Fails(E_EOPEN)},
      {{Fault::UnmapViewOfFile, 1}, Fails(E_ECLOSE)},   // the image before appending
      {{Fault::CloseHandle, 1}, Fails(E_ECLOSE)},       // the image's mapping
      {{Fault::CloseHandle, 2}, Fails(E_ECLOSE)},       // a.C
      {{Fault::CloseHandle, 3}, Fails(E_ECLOSE)},       // data1
      {{Fault::CloseHandle, 4}, {E_ECLOSE, true}},      // the image, after everything is written
      {{Fault::SetFilePointer, 1}, Fails(E_EOPEN)},     // positioning before conversion
      {{Fault::SetFilePointer, 2}, Fails(E_EWRITE)},    // positioning before writing
      {{Fault::WriteFile, 1}, Fails(E_EWRITE)},         // the blocks go out together
  };
  CheckEveryCall(expectations, false);
}

TEST_F(PackFailureTest, EveryFailingCallLeavesNoNewImageBehind) {
  // An empty new image needs no mapping, and so no unmapping: its size is
  // read once more instead.
  const Expectations expectations = {
      {{Fault::CreateFile, 1}, Fails(E_EOPEN)},
      {{Fault::CreateFile, 2}, Fails(E_EOPEN)},
      {{Fault::CreateFile, 3}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 1}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 2}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 3}, Fails(E_EOPEN)},
      {{Fault::GetFileSize, 4}, Fails(E_EOPEN)},
      {{Fault::ReadFile, 1}, Fails(E_EOPEN)},
      {{Fault::ReadFile, 2}, Fails(E_EOPEN)},
      {{Fault::GetFileTime, 1}, Fails(E_EOPEN)},
      {{Fault::GetFileTime, 2}, Fails(E_EOPEN)},
      {{Fault::GetFileTime, 3}, Fails(E_EOPEN)},
      {{Fault::CloseHandle, 1}, Fails(E_ECLOSE)},
      {{Fault::CloseHandle, 2}, Fails(E_ECLOSE)},
      {{Fault::CloseHandle, 3}, {E_ECLOSE, true}},
      {{Fault::SetFilePointer, 1}, Fails(E_EOPEN)},
      {{Fault::SetFilePointer, 2}, Fails(E_EWRITE)},
      {{Fault::WriteFile, 1}, Fails(E_EWRITE)},
  };
  CheckEveryCall(expectations, true);
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

  StoreFile(ImagePath(), Existing());
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), names), 0);
  EXPECT_EQ(FileBytes(ImagePath()), packed);
  const unsigned writes = platform_test::CallCount(Fault::WriteFile);
  EXPECT_EQ(writes, 4u);
  for (unsigned nth = 1; nth <= writes; ++nth) {
    SCOPED_TRACE(::testing::Message() << "write " << nth);
    StoreFile(ImagePath(), Existing());
    platform_test::ClearFaults();
    platform_test::FailCall(Fault::WriteFile, nth);
    EXPECT_EQ(Pack(ImagePath(), SourceDir(), names), E_EWRITE);
    EXPECT_EQ(FileBytes(ImagePath()), Existing());
  }
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PackFailureTest, CuttingBackThatFailsChangesNeitherCodeNorImage) {
  // Conversion fails before anything is written; the cut-back fails too.
  StoreFile(ImagePath(), Existing());
  platform_test::FailCall(Fault::SetEndOfFile, 1);
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "missing.C"}), E_EOPEN);
  EXPECT_EQ(platform_test::CallCount(Fault::SetEndOfFile), 1u);
  EXPECT_EQ(FileBytes(ImagePath()), Existing());

  platform_test::ClearFaults();
  platform_test::FailCall(Fault::SetFilePointer, 2);  // the seek of the cut-back
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "missing.C"}), E_EOPEN);
  EXPECT_EQ(FileBytes(ImagePath()), Existing());
}

TEST_F(PackFailureTest, ImageThatCannotBeClosedKeepsTheSourcesOfAMove) {
  StoreFile(ImagePath(), Existing());
  platform_test::FailCall(Fault::CloseHandle, 4);  // the image's own close, as counted above
  EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "data1"}, PK_PACK_MOVE_FILES), E_ECLOSE);
  EXPECT_TRUE(FileExists(Source("a.C")));
  EXPECT_TRUE(FileExists(Source("data1")));
}

TEST_F(PackFailureTest, MemoryThatRunsOutLeavesTheImageAsItWas) {
  StoreFile(ImagePath(), Existing());
  platform_test::ClearFaults();
  ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"a.C", "data1"}), 0);
  const unsigned calls = platform_test::CallCount(Fault::HeapAlloc) + platform_test::CallCount(Fault::HeapReAlloc);
  ASSERT_GT(calls, 0u);
  unsigned failures = 0;
  for (const Fault fault : {Fault::HeapAlloc, Fault::HeapReAlloc}) {
    for (unsigned nth = 1; nth <= calls; ++nth) {
      SCOPED_TRACE(::testing::Message() << "heap fault " << static_cast<int>(fault) << " call " << nth);
      StoreFile(ImagePath(), Existing());
      platform_test::ClearFaults();
      platform_test::FailCall(fault, nth);
      const int code = Pack(ImagePath(), SourceDir(), {"a.C", "data1"});
      platform_test::ClearFaults();
      BoxTexts();
      if (code == 0) {
        EXPECT_EQ(FileBytes(ImagePath()), Existing() + Added());
      } else {
        ++failures;
        EXPECT_EQ(code, E_NO_MEMORY);
        EXPECT_EQ(FileBytes(ImagePath()), Existing());
      }
    }
  }
  EXPECT_GT(failures, 0u);
}

}  // namespace
