// A file manager killed while it packs or deletes: whenever the kill comes,
// the image is its old bytes or its new bytes, nothing but a temporary image
// stays beside it, and the next run to the end removes that. How often a
// kill meets each stage depends on the scheduler: it is reported, not
// asserted.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "helpers/file_contents.h"
#include "helpers/host_tool.h"
#include "helpers/tap_builder.h"

namespace {

constexpr unsigned Rounds = 60;

// The image's bytes, or nothing when there is no image: an empty file is
// not the same as none.
std::optional<std::string> ImageState(const std::string& path) {
  if (!std::filesystem::exists(path)) return std::nullopt;
  return FileBytes(path);
}

std::string Describe(const std::optional<std::string>& state) {
  return state ? std::to_string(state->size()) + " bytes" : "no image";
}

class KillTest : public HostToolTest {
 protected:
  // Starts "doved ARGS..." with its output thrown away.
  pid_t Start(const std::vector<std::string>& args) const {
    const std::string tool = dir.Path("bin/doved");
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      std::freopen("/dev/null", "w", stdout);
      if (getenv("KILL_TEST_STDERR") == nullptr) std::freopen("/dev/null", "w", stderr);
      execv(tool.c_str(), argv.data());
      _exit(127);
    }
    return child;
  }

  // Runs the command to its end and says how long it took.
  std::chrono::microseconds RunWhole(const std::vector<std::string>& args) const {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = Start(args);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  }

  // Runs the command once to its end, which gives the new image, then kills
  // it at a random moment of its run, many times over; `prepare` puts the
  // old image back before each run.
  template <typename Prepare>
  void KillAtRandom(const std::vector<std::string>& args, const std::string& image, Prepare prepare,
                    const std::vector<std::string>& expectedFiles) {
    std::mt19937 random(20261208);
    prepare();
    const std::optional<std::string> before = ImageState(image);
    const auto whole = RunWhole(args);
    const std::optional<std::string> after = ImageState(image);
    ASSERT_TRUE(after != before) << "the command changed nothing";
    unsigned killedOld = 0;
    unsigned killedNew = 0;
    std::set<std::string> leftovers;
    const std::string work = dir.Path("work");
    const std::string tempPrefix = std::filesystem::path(image).filename().string() + ".";
    for (unsigned round = 0; round < Rounds; ++round) {
      prepare();
      const long delay = std::uniform_int_distribution<long>(0, whole.count() + whole.count() / 4)(random);
      const pid_t child = Start(args);
      const timespec pause{delay / 1000000, (delay % 1000000) * 1000};
      nanosleep(&pause, nullptr);
      kill(child, SIGKILL);
      int status = 0;
      waitpid(child, &status, 0);
      SCOPED_TRACE(::testing::Message() << "round " << round << ", killed after " << delay << " us");
      const std::optional<std::string> now = ImageState(image);
      EXPECT_TRUE(now == before || now == after) << "the image is neither old nor new: " << Describe(now);
      if (now == before) ++killedOld;
      if (now == after) ++killedNew;
      // A kill while the replacement has a name (always, where the system
      // makes no unnamed files) leaves it under its temporary name; nothing
      // else may stay.
      for (const std::string& name : FilesIn(work)) {
        if (std::find(expectedFiles.begin(), expectedFiles.end(), name) != expectedFiles.end()) continue;
        EXPECT_TRUE(name.starts_with(tempPrefix) && name.ends_with(".temp")) << name;
        leftovers.insert(name);
      }
    }
    std::printf("%u kills: %u left the old image, %u the new one; %zu temporary images were left\n", Rounds, killedOld,
                killedNew, leftovers.size());
    std::fflush(stdout);  // before the next child inherits what is buffered
    // Nobody holds what the killed runs left: the next run removes it.
    prepare();
    RunWhole(args);
    EXPECT_EQ(TempFilesIn(work), std::vector<std::string>{});
  }
};

// 1500 files of 1 KB in work/, packed into work/IMAGE by one host tool run;
// the files expected in work/ are theirs and the image's.
struct PackRun {
  std::vector<std::string> args;
  std::vector<std::string> files;
};

PackRun PackIntoWork(const ScratchDir& dir, const std::string& image) {
  std::filesystem::create_directory(dir.Path("work"));
  PackRun run{{"pack", dir.Path("work/" + image), "-C", dir.Path("work")}, {image}};
  for (unsigned i = 0; i < 1500; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%04u.C", i);
    StoreFile(dir.Path("work/") + name, std::string(1024, static_cast<char>(i)));
    run.args.push_back(name);
    run.files.push_back(name);
  }
  std::sort(run.files.begin(), run.files.end());
  return run;
}

TEST_F(KillTest, PackIsOldOrNewWheneverItIsKilled) {
  const PackRun run = PackIntoWork(dir, "image.tap");
  const tap_builder::Bytes large = tap_builder::LargeImage();
  const std::string before(large.begin(), large.begin() + 10 * 65025);  // ten code files
  KillAtRandom(run.args, dir.Path("work/image.tap"), [&] { StoreFile(dir.Path("work/image.tap"), before); },
               run.files);
}

TEST_F(KillTest, PackIntoANewImageLeavesItWholeOrAbsent) {
  const PackRun run = PackIntoWork(dir, "new.tap");
  KillAtRandom(run.args, dir.Path("work/new.tap"), [&] { std::filesystem::remove(dir.Path("work/new.tap")); },
               run.files);
}

TEST_F(KillTest, DeleteIsOldOrNewWheneverItIsKilled) {
  std::filesystem::create_directory(dir.Path("work"));
  Configure("FileNameNumbering=0\n");
  const tap_builder::Bytes large = tap_builder::LargeImage();
  const std::string before(large.begin(), large.end());
  const std::string image = dir.Path("work/GAMES.TAP");
  std::vector<std::string> args = {"delete", image};
  for (unsigned i = 0; i < 484; i += 2) {
    char name[16];
    std::snprintf(name, sizeof name, "b%05u.C", i);
    args.push_back(name);
  }
  KillAtRandom(args, image, [&] { StoreFile(image, before); }, {"GAMES.TAP"});
}

}  // namespace
