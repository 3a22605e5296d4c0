// The plug-in as one of several users of the same files: two packs racing to
// create one image, another program cutting an image short while it is open,
// and images reached through a symbolic link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <thread>
#include <vector>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/tap_builder.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"

namespace {

class OutsideWritersTest : public ::testing::Test {
 protected:
  static int Pack(const std::string& image, const std::string& directory, const std::string& name, int flags) {
    std::string imagePath = image;
    std::string source = directory + "/";
    std::string list = name + '\0' + '\0';
    return PackFiles(imagePath.data(), nullptr, source.data(), list.data(), flags);
  }

  static int Delete(const std::string& image, const std::string& name) {
    std::string imagePath = image;
    std::string list = name + '\0' + '\0';
    return DeleteFiles(imagePath.data(), list.data());
  }

  // The names the image lists, as the host reads them.
  static std::vector<std::string> Listed(const std::string& image) {
    std::string path = image;
    tOpenArchiveData request{};
    request.ArcName = path.data();
    std::vector<std::string> names;
    HANDLE archive = OpenArchive(&request);
    if (archive == nullptr) return names;
    tHeaderData header{};
    while (ReadHeader(archive, &header) == 0) {
      names.push_back(header.FileName);
      ProcessFile(archive, PK_SKIP, nullptr, nullptr);
    }
    CloseArchive(archive);
    return names;
  }

  // Two callers pack one file each into an image that does not exist yet.
  // A call that reports success has its file in the image; a move removes a
  // source only when its file is there.
  void RaceToCreate(bool processes, int flags) {
    constexpr int Rounds = 150;
    const std::string image = dir.Path("race.tap");
    int lost = 0;
    int bothFailed = 0;
    for (int round = 0; round < Rounds; ++round) {
      std::remove(image.c_str());
      StoreFile(dir.Path("one.C"), "1");
      StoreFile(dir.Path("two.C"), "22");
      int codes[2] = {-1, -1};
      if (processes) {
        pid_t children[2];
        const char* names[2] = {"one.C", "two.C"};
        for (int i = 0; i < 2; ++i) {
          children[i] = fork();
          if (children[i] == 0) _exit(Pack(image, dir.Path(), names[i], flags));
        }
        for (int i = 0; i < 2; ++i) {
          int status = 0;
          waitpid(children[i], &status, 0);
          codes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
      } else {
        std::thread first([&] { codes[0] = Pack(image, dir.Path(), "one.C", flags); });
        std::thread second([&] { codes[1] = Pack(image, dir.Path(), "two.C", flags); });
        first.join();
        second.join();
      }
      const std::vector<std::string> listed = Listed(image);
      const auto has = [&](const char* name) { return std::find(listed.begin(), listed.end(), name) != listed.end(); };
      for (const auto& [code, name, source] : {std::tuple{codes[0], "one.C", "one.C"}, std::tuple{codes[1], "two.C", "two.C"}}) {
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << name << ", code " << code);
        if (code == 0 && !has(name)) ++lost;
        EXPECT_TRUE(code == 0 || code == E_EOPEN || code == E_EWRITE) << code;
        if ((flags & PK_PACK_MOVE_FILES) != 0 && !FileExists(dir.Path(source))) {
          EXPECT_TRUE(has(name)) << "a source removed without its file in the image";
        }
      }
      if (codes[0] != 0 && codes[1] != 0) ++bothFailed;
    }
    EXPECT_EQ(lost, 0) << "calls that reported success for a file in no image";
    EXPECT_EQ(bothFailed, 0) << "rounds in which neither call packed";
  }

  fault_os::FaultyOs faults;
  ScratchDir dir;

 private:
  SettingsScope settings_{UnnumberedSettings()};
};

TEST_F(OutsideWritersTest, RacingThreadsLoseNoPackedFile) { RaceToCreate(false, 0); }
TEST_F(OutsideWritersTest, RacingThreadsLoseNoMovedFile) { RaceToCreate(false, PK_PACK_MOVE_FILES); }
TEST_F(OutsideWritersTest, RacingProcessesLoseNoPackedFile) { RaceToCreate(true, 0); }
TEST_F(OutsideWritersTest, RacingProcessesLoseNoMovedFile) { RaceToCreate(true, PK_PACK_MOVE_FILES); }

// Another program cuts the image short while it is open: extraction still
// writes the bytes that the listing showed, and nothing crashes.
TEST_F(OutsideWritersTest, ImageCutShortWhileOpenStillExtractsWhatItListed) {
  const tap_builder::Bytes payload = tap_builder::Pattern(30000);
  const tap_builder::Bytes image = tap_builder::CodeFile("big", payload);
  const std::string path = dir.Path("image.tap");
  StoreFile(path, std::string(image.begin(), image.end()));
  std::string arcName = path;
  tOpenArchiveData request{};
  request.ArcName = arcName.data();
  HANDLE archive = OpenArchive(&request);
  ASSERT_NE(archive, nullptr);
  const pid_t other = fork();
  if (other == 0) _exit(truncate(path.c_str(), 10) == 0 ? 0 : 1);
  int status = 0;
  waitpid(other, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  tHeaderData header{};
  ASSERT_EQ(ReadHeader(archive, &header), 0);
  std::string target = dir.Path("big.C");
  EXPECT_EQ(ProcessFile(archive, PK_EXTRACT, nullptr, target.data()), 0);
  EXPECT_EQ(FileBytes(target), std::string(payload.begin(), payload.end()));
  EXPECT_EQ(CloseArchive(archive), 0);
}

// While one delete runs, another program keeps cutting the image short: the
// delete ends with the image rewritten from what it read, or with a code;
// either way the process lives on.
TEST_F(OutsideWritersTest, ImageCutShortDuringADeleteCrashesNothing) {
  const tap_builder::Bytes large = tap_builder::LargeImage();
  const std::string path = dir.Path("GAMES.TAP");
  for (int round = 0; round < 10; ++round) {
    StoreFile(path, std::string(large.begin(), large.end()));
    const pid_t other = fork();
    if (other == 0) {
      for (int i = 0; i < 2000; ++i) truncate(path.c_str(), 65025 * (i % 400));
      _exit(0);
    }
    const int code = Delete(path, "b00001.C");
    EXPECT_TRUE(code == 0 || code == E_BAD_ARCHIVE || code == E_EOPEN || code == E_EWRITE) << code;
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
  }
  faults.TakeBoxes();
}

TEST_F(OutsideWritersTest, PackAndDeleteThroughALinkChangeItsTargetAndKeepTheLink) {
  ASSERT_EQ(mkdir(dir.Path("store").c_str(), 0755), 0);
  const std::string real = dir.Path("store/real.tap");
  const tap_builder::Bytes first = tap_builder::CodeFile("first", {1, 2, 3});
  StoreFile(real, std::string(first.begin(), first.end()));
  ASSERT_EQ(symlink("store/real.tap", dir.Path("link.tap").c_str()), 0);
  StoreFile(dir.Path("second.C"), "22");

  ASSERT_EQ(Pack(dir.Path("link.tap"), dir.Path(), "second.C", 0), 0);
  struct stat status {};
  ASSERT_EQ(lstat(dir.Path("link.tap").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(Listed(real), (std::vector<std::string>{"first.C", "second.C"}));

  ASSERT_EQ(Delete(dir.Path("link.tap"), "first.C"), 0);
  ASSERT_EQ(lstat(dir.Path("link.tap").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(Listed(real), std::vector<std::string>{"second.C"});
  EXPECT_EQ(FilesIn(dir.Path("store")), std::vector<std::string>{"real.tap"});
  EXPECT_TRUE(faults.TakeBoxes().empty());
}

}  // namespace
