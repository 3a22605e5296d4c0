// The Unicode entry points against their ANSI twins, in a folder whose name
// no single code page holds: the same entries, bytes and codes, through one
// implementation. Packing and deleting through both run end to end, under
// Wine, in tests/e2e/unicode_paths_e2e_test.cpp.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/tap_builder.h"
#include "os/unicode_text.h"
#include "plugin/plugin_api.h"

namespace {

using Wide = std::basic_string<WCHAR>;

Wide ToWide(const std::string& utf8) {
  Wide wide(utf8.size() + 1, 0);
  EXPECT_TRUE(os::Utf8ToUtf16(utf8.c_str(), wide.data(), static_cast<std::uint32_t>(wide.size())));
  wide.resize(os::Utf16Length(wide.c_str()));
  return wide;
}

std::string ToUtf8(const WCHAR* wide) {
  std::string utf8(os::MaxPathBytes, '\0');
  EXPECT_TRUE(os::Utf16ToUtf8(wide, utf8.data(), os::MaxPathBytes));
  return utf8.c_str();
}

// Cyrillic, Greek, CJK and an emoji (a surrogate pair in UTF-16).
constexpr char UnicodeFolder[] = "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xCE\xA0\xCE\xB1\xCE\xB9\xCF\x87\xCE\xBD\xCE\xAF\xCE\xB4\xCE\xB9\xCE\xB1 "
                                 "\xE6\xB8\xB8\xE6\x88\xB2 \xF0\x9F\x8E\xAE";

// Both bindings, the same calls: the wide one converts to UTF-16 and back.
struct Binding {
  bool wide;

  HANDLE Open(const std::string& path, int& result) const {
    Wide wideName = ToWide(path);
    std::string name = path;
    tOpenArchiveDataW wideRequest{wideName.data(), PK_OM_EXTRACT, -1, nullptr, 0, 0, 0};
    tOpenArchiveData request{name.data(), PK_OM_EXTRACT, -1, nullptr, 0, 0, 0};
    HANDLE archive = wide ? OpenArchiveW(&wideRequest) : OpenArchive(&request);
    result = wide ? wideRequest.OpenResult : request.OpenResult;
    return archive;
  }
  // The next entry's name and the archive's path, UTF-8; the code of ReadHeader.
  int Read(HANDLE archive, std::string& name, std::string& arcName) const {
    if (wide) {
      auto header = std::make_unique<tHeaderDataExW>();
      std::memset(header.get(), 0x55, sizeof *header);
      const int code = ReadHeaderExW(archive, header.get());
      if (code != 0) return code;
      EXPECT_EQ(header->PackSizeHigh, 0u);
      EXPECT_EQ(header->UnpSizeHigh, 0u);
      EXPECT_EQ(header->CmtSize, 0);
      EXPECT_EQ(header->CmtState, 0x55555555);  // beyond what ReadHeader clears
      name = ToUtf8(header->FileName);
      arcName = ToUtf8(header->ArcName);
      return code;
    }
    tHeaderData header{};
    const int code = ReadHeader(archive, &header);
    name = header.FileName;
    arcName = header.ArcName;
    return code;
  }
  int Extract(HANDLE archive, const std::string& target) const {
    if (wide) return ProcessFileW(archive, PK_EXTRACT, nullptr, ToWide(target).data());
    return ProcessFile(archive, PK_EXTRACT, nullptr, std::string(target).data());
  }
};

class WideExportsTest : public ::testing::TestWithParam<Binding> {
 protected:
  void SetUp() override {
    Settings settings = DefaultSettings();
    settings.FileNameNumbering = Numbering::None;
    SetSettings(settings);
    folder = dir.Path(UnicodeFolder);
    std::filesystem::create_directory(folder);
  }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  SettingsScope settingsScope;
  std::string folder;
};

// List and extract inside the Unicode folder.
TEST_P(WideExportsTest, ListsAndExtractsInAUnicodeFolder) {
  const Binding& binding = GetParam();
  const std::string image = folder + "/\xE6\xB8\xB8\xE6\x88\xB2.tap";
  const tap_builder::Bytes bytes = tap_builder::Concat(
      {tap_builder::CodeFile("\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0", {1, 2, 3}), tap_builder::CodeFile("keep", {4})});
  StoreFile(image, std::string(bytes.begin(), bytes.end()));

  int result = 0;
  HANDLE archive = binding.Open(image, result);
  ASSERT_NE(archive, nullptr) << result;
  std::string name;
  std::string arcName;
  ASSERT_EQ(binding.Read(archive, name, arcName), 0);
  EXPECT_EQ(arcName, image);
  EXPECT_EQ(name, "#D0#98#D0#B3#D1#80#D0#B0.C");  // the tape's own bytes, escaped
  const std::string target = folder + "/\xCE\xB1 " + name;
  EXPECT_EQ(binding.Extract(archive, target), 0);
  EXPECT_EQ(FileBytes(target), "\x01\x02\x03");
  ASSERT_EQ(binding.Read(archive, name, arcName), 0);
  EXPECT_EQ(name, "keep.C");
  EXPECT_EQ(ProcessFile(archive, PK_SKIP, nullptr, nullptr), 0);
  EXPECT_EQ(binding.Read(archive, name, arcName), E_END_ARCHIVE);
  EXPECT_EQ(CloseArchive(archive), 0);
  EXPECT_TRUE(faults.TakeBoxTexts().empty());
}

// The wide record holds 1024 units with the NUL, the ANSI one 260 bytes;
// a longer path is refused before any file is touched.
TEST_P(WideExportsTest, APathLongerThanItsRecordIsRefused) {
  const Binding& binding = GetParam();
  const std::size_t room = binding.wide ? os::MaxPathUnits : sizeof tHeaderData::ArcName;
  std::string path = dir.Path("");
  while (path.size() + 100 < room) {
    path += std::string(90, 'd') + "/";
    std::filesystem::create_directory(path);
  }
  path += std::string(room - 1 - path.size() - 4, 'i') + ".tap";
  const tap_builder::Bytes bytes = tap_builder::DataBlock({1});
  StoreFile(path, std::string(bytes.begin(), bytes.end()));
  int result = 0;
  HANDLE archive = binding.Open(path, result);
  ASSERT_NE(archive, nullptr) << result;
  EXPECT_EQ(CloseArchive(archive), 0);

  EXPECT_EQ(binding.Open(path + "x", result), nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(faults.TakeBoxTexts(), std::vector<std::string>{"Archive path too long"});
}

INSTANTIATE_TEST_SUITE_P(Bindings, WideExportsTest, ::testing::Values(Binding{false}, Binding{true}),
                         [](const auto& info) { return info.param.wide ? "Wide" : "Ansi"; });

TEST(BackgroundFlags, TheHostMayPackAndUnpackOnItsOwnThreads) {
  EXPECT_EQ(GetBackgroundFlags(), BACKGROUND_UNPACK | BACKGROUND_PACK);
}

}  // namespace
