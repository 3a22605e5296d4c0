// What a host that packs and unpacks on threads of its own does: one thread
// extracts from an image while another packs into it and a third deletes
// from it. Every call's effect is all there or not there at all: each
// extraction sees whole entries, and the image ends with exactly the packs
// and deletes that reported success.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <atomic>
#include <chrono>
#include <thread>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/tap_builder.h"
#include "plugin/plugin_api.h"

namespace {

constexpr int Rounds = 10;

std::string Name(char kind, int round) {
  char name[16];
  std::snprintf(name, sizeof name, "%c%03d", kind, round);
  return name;
}

// Each file's bytes tell its name, so that a torn or misplaced entry shows.
std::string Contents(const std::string& name) { return name + std::string(200, name.back()); }

// The entries of `image` and their bytes; false, with nothing, when it could not be read whole.
bool Extract(const std::string& image, const std::string& target, std::map<std::string, std::string>& entries) {
  std::string path = image;
  tOpenArchiveData request{};
  request.ArcName = path.data();
  HANDLE archive = OpenArchive(&request);
  if (archive == nullptr) return false;
  tHeaderData header{};
  bool whole = true;
  for (int code; whole && (code = ReadHeader(archive, &header)) != E_END_ARCHIVE;) {
    std::string out = target;
    whole = code == 0 && ProcessFile(archive, PK_EXTRACT, nullptr, out.data()) == 0;
    if (whole) entries[header.FileName] = FileBytes(target);
  }
  whole = CloseArchive(archive) == 0 && whole;
  if (!whole) entries.clear();
  return whole;
}

class SharedImageThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings settings = DefaultSettings();
    settings.FileNameNumbering = Numbering::None;
    SetSettings(settings);
  }

  fault_os::FaultyOs faults;
  ScratchDir dir;
  SettingsScope settingsScope;
};

TEST_F(SharedImageThreadsTest, ExtractingPackingAndDeletingAtOnceLeaveWholeCallsOnly) {
  const std::string image = dir.Path("shared.tap");
  tap_builder::Bytes start;
  for (int round = 0; round < Rounds; ++round) {
    const std::string name = Name('K', round);
    const std::string text = Contents(name);
    const tap_builder::Bytes entry = tap_builder::CodeFile(name, tap_builder::Bytes(text.begin(), text.end()));
    start.insert(start.end(), entry.begin(), entry.end());
  }
  StoreFile(image, std::string(start.begin(), start.end()));
  std::filesystem::create_directory(dir.Path("src"));
  for (int round = 0; round < Rounds; ++round) StoreFile(dir.Path("src/" + Name('P', round) + ".C"), Contents(Name('P', round)));

  // A call that finds the image in another's hands fails, and is tried again,
  // as a user would; the extractor reads until the others are done.
  constexpr int Tries = 1000;
  constexpr std::chrono::milliseconds Pause{1};
  std::atomic<int> working{2};
  std::set<std::string> packed;
  std::set<std::string> deleted;
  std::vector<std::string> torn;
  int wholeReads = 0;
  std::thread packer([&] {
    std::string source = dir.Path("src/");
    for (int round = 0; round < Rounds; ++round) {
      std::string path = image;
      std::string list = Name('P', round) + ".C" + std::string(2, '\0');
      for (int tried = 0; tried < Tries; ++tried, std::this_thread::sleep_for(Pause)) {
        if (PackFiles(path.data(), nullptr, source.data(), list.data(), 0) != 0) continue;
        packed.insert(Name('P', round) + ".C");
        break;
      }
    }
    --working;
  });
  std::thread deleter([&] {
    for (int round = 0; round < Rounds; ++round) {
      std::string path = image;
      std::string list = Name('K', round) + ".C" + std::string(2, '\0');
      for (int tried = 0; tried < Tries; ++tried, std::this_thread::sleep_for(Pause)) {
        if (DeleteFiles(path.data(), list.data()) != 0) continue;
        deleted.insert(Name('K', round) + ".C");
        break;
      }
    }
    --working;
  });
  std::thread extractor([&] {
    while (working > 0) {
      std::map<std::string, std::string> entries;
      std::this_thread::sleep_for(Pause);
      if (!Extract(image, dir.Path("out"), entries)) continue;
      ++wholeReads;
      for (const auto& [name, bytes] : entries) {
        if (bytes != Contents(name.substr(0, 4))) torn.push_back(name);
      }
    }
  });
  packer.join();
  deleter.join();
  extractor.join();

  EXPECT_EQ(torn, std::vector<std::string>{});
  EXPECT_GT(wholeReads, 0);
  EXPECT_FALSE(packed.empty());
  EXPECT_FALSE(deleted.empty());
  std::set<std::string> expected = packed;
  for (int round = 0; round < Rounds; ++round) {
    if (deleted.count(Name('K', round) + ".C") == 0) expected.insert(Name('K', round) + ".C");
  }
  std::map<std::string, std::string> entries;
  ASSERT_TRUE(Extract(image, dir.Path("out"), entries));
  std::set<std::string> names;
  for (const auto& [name, bytes] : entries) {
    names.insert(name);
    EXPECT_EQ(bytes, Contents(name.substr(0, 4))) << name;
  }
  EXPECT_EQ(names, expected);
  // Shown nothing: a call that lost a race for the image failed silently.
  EXPECT_EQ(faults.TakeBoxTexts(), std::vector<std::string>{});
}

}  // namespace
