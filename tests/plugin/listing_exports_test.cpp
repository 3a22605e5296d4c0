#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/tap_builder.h"
#include "plugin/plugin_api.h"
#include "settings/params_pattern.h"
#include "settings/settings.h"
#include "tape/time_code.h"

namespace {

using tap_builder::Bytes;

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings settings = DefaultSettings();
    ASSERT_TRUE(CompileParamsPattern(settings.ParamsPattern1, settings.FileNamingMode.CompiledParamsPattern));
    SetSettings(settings);
  }
  std::string WriteImage(const Bytes& bytes, const char* name = "image.tap") {
    const std::string path = dir_.Path(name);
    StoreFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
  }

  HANDLE Open(const std::string& path, int& result) {
    std::string copy = path;
    tOpenArchiveData request{};
    request.ArcName = copy.data();
    request.OpenMode = PK_OM_LIST;
    request.OpenResult = -1;
    HANDLE handle = OpenArchive(&request);
    result = request.OpenResult;
    return handle;
  }

  HANDLE OpenOrFail(const std::string& path) {
    int result = 0;
    HANDLE handle = Open(path, result);
    EXPECT_NE(handle, nullptr) << "OpenResult " << result;
    return handle;
  }

  std::vector<std::string> BoxTexts() { return faults.TakeBoxTexts(); }

  static std::uint64_t CreationTimeOf(const std::string& path, std::uint64_t* lastWrite = nullptr) {
    const FileTimes times = TimesOf(path);
    EXPECT_TRUE(times.read) << path;
    if (lastWrite != nullptr) *lastWrite = times.lastWrite;
    return times.creation;
  }

  fault_os::FaultyOs faults;
  ScratchDir dir_;
  SettingsScope settings_;
};

const Bytes program = tap_builder::Pattern(40);
const Bytes code = tap_builder::Pattern(100, 7);
const Bytes loose = tap_builder::Pattern(5, 3);

Bytes SampleImage() {
  return tap_builder::Concat({tap_builder::HeaderBlock(0, "hello", 40, 10, 40), tap_builder::DataBlock(program),
                           tap_builder::HeaderBlock(3, "screen", 100, 16384, 32768), tap_builder::DataBlock(code),
                           tap_builder::DataBlock(loose)});
}

TEST_F(ListingTest, ListsEveryEntryWithNameSizesAndTheImageDate) {
  const std::string path = WriteImage(SampleImage());
  HANDLE archive = OpenOrFail(path);
  ASSERT_NE(archive, nullptr);
  const struct {
    const char* name;
    int packed;
    int unpacked;
  } expected[] = {{"000!   hello.B", 21 + 44, 40 + 4}, {"001!   screen.C", 21 + 104, 100}, {"002!   data1", 9, 5}};
  for (const auto& entry : expected) {
    tHeaderData header;
    std::memset(&header, 0x55, sizeof header);
    ASSERT_EQ(ReadHeader(archive, &header), 0);
    EXPECT_STREQ(header.FileName, entry.name);
    EXPECT_STREQ(header.ArcName, path.c_str());
    EXPECT_EQ(header.PackSize, entry.packed);
    EXPECT_EQ(header.UnpSize, entry.unpacked);
    EXPECT_EQ(header.Flags, 0);
    EXPECT_EQ(header.CmtBuf, nullptr);
    EXPECT_EQ(header.CmtSize, 0);
    EXPECT_EQ(header.CmtState, 0x55555555);  // beyond what ReadHeader clears
    EXPECT_EQ(header.FileAttr, 0100644);
    std::uint64_t lastWrite = 0;
    CreationTimeOf(path, &lastWrite);
    EXPECT_EQ(header.FileTime, static_cast<int>((lastWrite - 116444736000000000ULL) / 10000000ULL));
    // Reading again without processing describes the same entry.
    tHeaderData again{};
    ASSERT_EQ(ReadHeader(archive, &again), 0);
    EXPECT_STREQ(again.FileName, entry.name);
    EXPECT_EQ(ProcessFile(archive, PK_SKIP, const_cast<char*>("ignored"), nullptr), 0);
  }
  tHeaderData header{};
  EXPECT_EQ(ReadHeader(archive, &header), E_END_ARCHIVE);
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ListingTest, ExtractsRawBytesWithTrailerAndTimeCode) {
  const std::string path = WriteImage(SampleImage());
  HANDLE archive = OpenOrFail(path);
  ASSERT_NE(archive, nullptr);
  std::uint64_t imageWritten = 0;
  CreationTimeOf(path, &imageWritten);
  const std::string targets[] = {dir_.Path("hello.B"), dir_.Path("screen.C"), dir_.Path("data1")};
  for (const std::string& target : targets) {
    tHeaderData header{};
    ASSERT_EQ(ReadHeader(archive, &header), 0);
    std::string name = target;
    ASSERT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, name.data()), 0);
  }
  EXPECT_EQ(CloseArchive(archive), 0);

  Bytes withTrailer = program;
  withTrailer.insert(withTrailer.end(), {0x80, 0xAA, 10, 0});
  EXPECT_EQ(FileBytes(targets[0]), std::string(withTrailer.begin(), withTrailer.end()));
  EXPECT_EQ(FileBytes(targets[1]), std::string(code.begin(), code.end()));
  EXPECT_EQ(FileBytes(targets[2]), std::string(loose.begin(), loose.end()));

  std::uint64_t written = 0;
  // Program: low = length 40, high = param2 40. Code: low = param1 16384, high = length 100.
  EXPECT_EQ(CreationTimeOf(targets[0], &written), TimeCodeEpoch + 100000 + ((40ULL << 16) | 40) * 200000);
  EXPECT_EQ(written, imageWritten);
  EXPECT_EQ(DecodeTimeCode(CreationTimeOf(targets[1])).timeParamLow, 16384);
  EXPECT_EQ(DecodeTimeCode(CreationTimeOf(targets[1])).timeParamHigh, 100);
  EXPECT_EQ(CreationTimeOf(targets[2]), HeaderlessMarkerTime);  // 1984-02-21 04:55:48 UTC
}

TEST_F(ListingTest, ExtractionReplacesAnExistingFile) {
  const std::string path = WriteImage(tap_builder::DataBlock(loose));
  const std::string target = dir_.Path("data1");
  StoreFile(target, std::string(1000, 'x'));
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string name = target;
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, name.data()), 0);
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_EQ(FileBytes(target), std::string(loose.begin(), loose.end()));
}

TEST_F(ListingTest, TestAndExtractRefuseBadBlocksSilently) {
  Bytes bad = tap_builder::DataBlock(code);
  bad[10] ^= 1;
  Bytes cut = tap_builder::DataBlock(loose);
  cut.resize(cut.size() - 2);
  const std::string path = WriteImage(tap_builder::Concat({tap_builder::HeaderBlock(3, "alone", 0, 0, 0), bad, cut}));
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  // "alone" has a data block: the bad one. The header-only case comes from a header right before another.
  EXPECT_EQ(ProcessFile(archive, PK_TEST, nullptr, nullptr), E_BAD_DATA);
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string target = dir_.Path("cut");
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), E_BAD_DATA);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ListingTest, HeaderWithoutDataTestsAndExtractsEmpty) {
  const std::string path = WriteImage(
      tap_builder::Concat({tap_builder::HeaderBlock(3, "first", 0, 0, 0), tap_builder::HeaderBlock(3, "second", 0, 0, 0)}));
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_EQ(ProcessFile(archive, PK_TEST, nullptr, nullptr), 0);
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string target = dir_.Path("second.C");
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), 0);
  EXPECT_EQ(FileBytes(target), "");
  EXPECT_EQ(CloseArchive(archive), 0);
}

// A program header of length 0 with no data block lists as its trailer
// (the autostart line), and in hobeta form as one sector; extraction writes
// just that, and the file packs back into the same header.
TEST_F(ListingTest, HeaderOnlyProgramOfLengthZeroExtractsWhatItListsAndPacksBack) {
  const tap_builder::Bytes header = tap_builder::HeaderBlock(0, "empty", 0, 10, 0);
  for (const bool hobeta : {false, true}) {
    SCOPED_TRACE(hobeta ? "hobeta" : "raw");
    Settings settings = DefaultSettings();
    settings.FileNameNumbering = Numbering::None;
    settings.ExtractHobeta = hobeta;
    SetSettings(settings);
    const std::string path = WriteImage(header);
    HANDLE archive = OpenOrFail(path);
    tHeaderData listed{};
    ASSERT_EQ(ReadHeader(archive, &listed), 0);
    EXPECT_EQ(listed.UnpSize, hobeta ? 17 + 256 : 4);
    std::string target = dir_.Path(listed.FileName);
    ASSERT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), 0);
    EXPECT_EQ(CloseArchive(archive), 0);
    const std::string extracted = FileBytes(target);
    EXPECT_EQ(extracted.size(), static_cast<std::size_t>(listed.UnpSize));
    EXPECT_EQ(extracted.substr(hobeta ? 17 : 0, 4), std::string("\x80\xAA\x0A\x00", 4));

    // Packed back, the header is the same; the program's data block is empty.
    const std::string repacked = dir_.Path("repacked.tap");
    std::remove(repacked.c_str());
    std::string image = repacked;
    std::string source = dir_.Path("");
    std::string list = std::string(listed.FileName) + '\0' + '\0';
    ASSERT_EQ(PackFiles(image.data(), nullptr, source.data(), list.data(), 0), 0);
    EXPECT_EQ(FileBytes(repacked), std::string(header.begin(), header.end()) +
                                       std::string("\x02\x00\xFF\xFF", 4));
    std::remove(target.c_str());
  }
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ListingTest, DestPathIsRefusedWithABoxAndTheEntryPassedOver) {
  const std::string path = WriteImage(SampleImage());
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  char destPath[] = "/tmp";
  char destName[] = "x";
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_EQ(ProcessFile(archive, PK_TEST, destPath, destName), E_NOT_SUPPORTED);
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, destPath, destName), E_NOT_SUPPORTED);
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_STREQ(header.FileName, "002!   data1");
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>(2, "DestPath is not null.\nPlease report this error to plugin author."));
}

TEST_F(ListingTest, OpenFailuresLeaveNothingBehind) {
  int result = 0;
  EXPECT_EQ(Open(dir_.Path("missing.tap"), result), nullptr);
  EXPECT_EQ(result, E_EOPEN);

  const std::string longest = dir_.Path(std::string(259 - dir_.Path("").size(), 'a'));
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_EQ(Open(longest, result), nullptr);
  EXPECT_EQ(result, E_EOPEN);  // passes the length test, then is not found
  EXPECT_TRUE(BoxTexts().empty());

  EXPECT_EQ(Open(longest + "b", result), nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Archive path too long"});

  EXPECT_EQ(Open(WriteImage({0x13}), result), nullptr);
  EXPECT_EQ(result, E_BAD_ARCHIVE);

  faults.FailNth(fault_os::Op::Allocate, 1);
  EXPECT_EQ(Open(WriteImage(SampleImage()), result), nullptr);
  EXPECT_EQ(result, E_NO_MEMORY);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Not enough memory"});
}

TEST_F(ListingTest, EmptyImageListsNothing) {
  HANDLE archive = OpenOrFail(WriteImage({}));
  tHeaderData header{};
  EXPECT_EQ(ReadHeader(archive, &header), E_END_ARCHIVE);
  EXPECT_EQ(CloseArchive(archive), 0);
}

TEST_F(ListingTest, FailedWritesDeleteTheTargetAndReport19) {
  const std::string path = WriteImage(SampleImage());
  for (const auto fault : {fault_os::Op::Write, fault_os::Op::SetTimes}) {
    HANDLE archive = OpenOrFail(path);
    tHeaderData header{};
    ASSERT_EQ(ReadHeader(archive, &header), 0);
    std::string target = dir_.Path("hello.B");
    faults.FailNth(fault, 1);
    EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), E_EWRITE);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(CloseArchive(archive), 0);
  }
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string inMissingDirectory = dir_.Path("no/such/dir/hello.B");
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, inMissingDirectory.data()), E_ECREATE);
  faults.FailNth(fault_os::Op::Close, 1);
  EXPECT_EQ(CloseArchive(archive), E_ECLOSE);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ListingTest, HobetaModeExtractsHeaderPayloadAndSectorFill) {
  Settings settings;
  GetSettings(settings);
  settings.ExtractHobeta = true;
  SetSettings(settings);
  const Bytes big = tap_builder::Pattern(65281);
  const std::string path = WriteImage(tap_builder::Concat(
      {tap_builder::HeaderBlock(3, "screen", 100, 16384, 32768), tap_builder::DataBlock(code),
       tap_builder::HeaderBlock(3, "big", 0xFFFF, 0, 0), tap_builder::DataBlock(big)}));
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_STREQ(header.FileName, "000!   screen.$C");
  EXPECT_EQ(header.UnpSize, 256 + 17);
  std::string target = dir_.Path("screen.$C");
  ASSERT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), 0);
  const std::string hobeta = FileBytes(target);
  ASSERT_EQ(hobeta.size(), 256u + 17);
  EXPECT_EQ(hobeta.substr(0, 9), "screen  C");
  EXPECT_EQ(hobeta.substr(17, 100), std::string(code.begin(), code.end()));
  EXPECT_EQ(hobeta.substr(117), std::string(156, '\0'));

  ASSERT_EQ(ReadHeader(archive, &header), 0);
  EXPECT_EQ(ProcessFile(archive, PK_TEST, nullptr, nullptr), 1);
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"Files larger than 65280 bytes cannot be extracted in hobeta format."});
}

TEST_F(ListingTest, AnnouncesItsCapabilities) { EXPECT_EQ(GetPackerCaps(), 159); }

TEST_F(ListingTest, SettingsAreCopiedWhenTheImageOpens) {
  const std::string path = WriteImage(SampleImage());
  HANDLE before = OpenOrFail(path);
  Settings settings;
  GetSettings(settings);
  settings.FileNameNumbering = Numbering::None;
  SetSettings(settings);
  HANDLE after = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(before, &header), 0);
  EXPECT_STREQ(header.FileName, "000!   hello.B");
  ASSERT_EQ(ReadHeader(after, &header), 0);
  EXPECT_STREQ(header.FileName, "hello.B");
  EXPECT_EQ(CloseArchive(before), 0);
  EXPECT_EQ(CloseArchive(after), 0);
}

// Each OS call of listing and extracting every entry fails in turn: an
// extraction either writes the whole file or leaves none, and whatever
// fails, nothing stays open or allocated once the image is closed.
TEST_F(ListingTest, EveryFailingCallOfAnExtractionLeavesAWholeFileOrNone) {
  const std::string path = WriteImage(SampleImage());
  const std::vector<std::string> names = {"000!   hello.B", "001!   screen.C", "002!   data1"};
  const std::vector<std::string> contents = {std::string(program.begin(), program.end()) + std::string("\x80\xAA\x0A\x00", 4),
                                             std::string(code.begin(), code.end()),
                                             std::string(loose.begin(), loose.end())};
  const std::set<int> codes = {E_EOPEN, E_ECREATE, E_ECLOSE, E_EWRITE, E_NO_MEMORY};
  std::vector<int> results;
  int opened = 0;
  unsigned failures = 0;
  fault_os::ForEachFailingCall(
      faults,
      [&] {
        std::filesystem::remove_all(dir_.Path("out"));
        std::filesystem::create_directory(dir_.Path("out"));
        results.clear();
        HANDLE archive = Open(path, opened);
        if (archive == nullptr) return;
        tHeaderData header{};
        while (ReadHeader(archive, &header) == 0) {
          std::string target = dir_.Path("out/") + header.FileName;
          results.push_back(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()));
        }
        results.push_back(CloseArchive(archive));
      },
      [&](const std::string& failed) {
        SCOPED_TRACE(testing::Message() << (failed.empty() ? "nothing failing" : failed + " failing"));
        const std::vector<std::string> boxes = BoxTexts();
        if (results.empty()) {
          ++failures;
          EXPECT_EQ(codes.count(opened), 1u) << "OpenResult " << opened;
          EXPECT_TRUE(FilesIn(dir_.Path("out")).empty());
        } else {
          ASSERT_EQ(results.size(), names.size() + 1);
          for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string target = dir_.Path("out/") + names[i];
            if (results[i] == 0) {
              EXPECT_EQ(FileBytes(target), contents[i]) << names[i];
            } else {
              ++failures;
              EXPECT_EQ(codes.count(results[i]), 1u) << names[i] << ": " << results[i];
              // A file whose close alone failed is whole; any other is removed.
              if (FileExists(target)) {
                EXPECT_TRUE(fault_os::Is(failed, fault_os::Op::Close)) << names[i];
                EXPECT_EQ(FileBytes(target), contents[i]) << names[i];
              }
            }
          }
          if (results.back() != 0) {
            EXPECT_EQ(results.back(), E_ECLOSE);
          }
        }
        for (const std::string& box : boxes) EXPECT_EQ(box, "Not enough memory");
        EXPECT_EQ(faults.OpenFiles(), 0);
        EXPECT_EQ(faults.LiveBlocks(), 0);
      });
  EXPECT_GT(failures, 5u);
}

}  // namespace
