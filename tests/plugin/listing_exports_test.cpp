#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/host_codes.h"
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "helpers/tap_builder.h"
#include "platform/posix/test_hooks.h"
#include "plugin/plugin_api.h"
#include "settings/params_pattern.h"
#include "settings/settings.h"
#include "tape/time_code.h"

namespace {

using tap_builder::Bytes;

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
    GetSettings(saved_);
    Settings settings = DefaultSettings();
    ASSERT_TRUE(CompileParamsPattern(settings.ParamsPattern1, settings.FileNamingMode.CompiledParamsPattern));
    SetSettings(settings);
  }
  void TearDown() override {
    SetSettings(saved_);
    platform_test::ResetAll();
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

  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : platform_test::TakeBoxes()) texts.push_back(box.text);
    return texts;
  }

  static std::uint64_t CreationTimeOf(const std::string& path, std::uint64_t* lastWrite = nullptr) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME creation{}, written{};
    EXPECT_TRUE(GetFileTime(file, &creation, nullptr, &written));
    CloseHandle(file);
    if (lastWrite != nullptr) *lastWrite = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    return (std::uint64_t{creation.dwHighDateTime} << 32) | creation.dwLowDateTime;
  }

  ScratchDir dir_;
  Settings saved_{};
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

  platform_test::FailCall(platform_test::Fault::HeapAlloc, 1);
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
  for (const auto fault : {platform_test::Fault::WriteFile, platform_test::Fault::SetFileTime}) {
    HANDLE archive = OpenOrFail(path);
    tHeaderData header{};
    ASSERT_EQ(ReadHeader(archive, &header), 0);
    std::string target = dir_.Path("hello.B");
    platform_test::FailCall(fault, 1);
    EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), E_EWRITE);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(CloseArchive(archive), 0);
  }
  HANDLE archive = OpenOrFail(path);
  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string inMissingDirectory = dir_.Path("no/such/dir/hello.B");
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, inMissingDirectory.data()), E_ECREATE);
  platform_test::FailCall(platform_test::Fault::CloseHandle, 1);
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
  settings.FileNameNumbering = 0;
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

}  // namespace
