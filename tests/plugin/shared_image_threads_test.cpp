// What a host that packs and unpacks on threads of its own does: one thread
// extracts from an image while another packs into it and a third deletes
// from it. Every call's effect is all there or not there at all: each
// extraction sees whole entries, and the image ends with exactly the packs
// and deletes that reported success.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
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

// The listed name of round `round`'s file of `kind`.
std::string Name(char kind, int round) {
  char name[16];
  std::snprintf(name, sizeof name, "%c%03d.C", kind, round);
  return name;
}

// Each file's bytes tell its name, so that a torn or misplaced entry shows.
std::string Contents(const std::string& name) { return name.substr(0, 4) + std::string(200, name[3]); }

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
  std::string source = dir.Path("src/");
  std::filesystem::create_directory(source);
  std::string start;
  for (int round = 0; round < Rounds; ++round) {
    const std::string kept = Contents(Name('K', round));
    const tap_builder::Bytes entry = tap_builder::CodeFile(Name('K', round).substr(0, 4), {kept.begin(), kept.end()});
    start.append(entry.begin(), entry.end());
    StoreFile(source + Name('P', round), Contents(Name('P', round)));
  }
  StoreFile(image, start);

  // A call that finds the image in another's hands fails, and is tried again,
  // as a user would; the extractor reads until the others are done.
  constexpr std::chrono::milliseconds Pause{1};
  std::atomic<int> working{2};
  const auto everyRound = [&](char kind, std::set<std::string>& done, const auto& call) {
    for (int round = 0; round < Rounds; ++round) {
      std::string path = image;
      std::string list = Name(kind, round) + std::string(2, '\0');
      int code = -1;
      for (int tried = 0; tried < 1000 && (code = call(path.data(), list.data())) != 0; ++tried) std::this_thread::sleep_for(Pause);
      if (code == 0) done.insert(Name(kind, round));
    }
    --working;
  };
  std::set<std::string> packed;
  std::set<std::string> deleted;
  std::thread packer(
      [&] { everyRound('P', packed, [&](char* path, char* list) { return PackFiles(path, nullptr, source.data(), list, 0); }); });
  std::thread deleter([&] { everyRound('K', deleted, [](char* path, char* list) { return DeleteFiles(path, list); }); });
  std::vector<std::string> torn;
  int wholeReads = 0;
  std::thread extractor([&] {
    while (working > 0) {
      std::map<std::string, std::string> entries;
      std::this_thread::sleep_for(Pause);
      if (!Extract(image, dir.Path("out"), entries)) continue;
      ++wholeReads;
      for (const auto& [name, bytes] : entries) {
        if (bytes != Contents(name)) torn.push_back(name);
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
  std::map<std::string, std::string> expected;
  for (int round = 0; round < Rounds; ++round) {
    if (packed.count(Name('P', round)) != 0) expected[Name('P', round)] = Contents(Name('P', round));
    if (deleted.count(Name('K', round)) == 0) expected[Name('K', round)] = Contents(Name('K', round));
  }
  std::map<std::string, std::string> entries;
  ASSERT_TRUE(Extract(image, dir.Path("out"), entries));
  EXPECT_EQ(entries, expected);
  // Shown nothing: a call that lost a race for the image failed silently.
  EXPECT_EQ(faults.TakeBoxTexts(), std::vector<std::string>{});
}

}  // namespace
