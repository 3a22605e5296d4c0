// Two callers packing into the same image that does not exist yet, over and
// over: each opens the path with OpenAlways, writes its own mark, sees that
// the path shows that mark, closes, and deletes the image as a failed pack
// that created it would. A caller that writes into a file that has lost its
// name (removed by the other caller between this caller's open and its
// lock) finds the path missing, or showing another file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

constexpr int Rounds = 1000;

struct Tally {
  int got = 0;      // opens that returned the file
  int unnamed = 0;  // of those, files that the path did not show
};

// The path's bytes, read past any lock.
std::string PathBytes(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  char bytes[32];
  const ssize_t n = pread(fd, bytes, sizeof bytes, 0);
  close(fd);
  return n >= 0 ? std::string(bytes, n) : "<unreadable>";
}

// Everything here is plain calls: it runs in a forked child as well.
Tally Race(const char* path, int caller, pthread_barrier_t* together) {
  Tally tally;
  for (int round = 0; round < Rounds; ++round) {
    // Every other round both callers start together on a missing path; in
    // between they run free, so that one opens while the other deletes.
    if (round % 2 == 0) pthread_barrier_wait(together);
    bool created = false;
    os::File* file = Os.Open(path, os::Access::ReadWrite, os::Disposition::OpenAlways, &created);
    if (file == nullptr) continue;
    ++tally.got;
    // Marks of one length, so that each covers the last one whole.
    char mark[16];
    const int length = snprintf(mark, sizeof mark, "%03d:%05d", caller, round);
    std::uint32_t done = 0;
    const bool written = Os.Write(file, mark, static_cast<std::uint32_t>(length), &done);
    if (!written || PathBytes(path) != std::string(mark, length)) ++tally.unnamed;
    Os.Close(file);
    Os.Delete(path);  // refused while the other caller holds the file
  }
  return tally;
}

// A barrier in shared memory, for threads and for processes alike.
class SharedBarrier {
 public:
  SharedBarrier() {
    memory_ = mmap(nullptr, sizeof(pthread_barrier_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    pthread_barrierattr_t attributes;
    pthread_barrierattr_init(&attributes);
    pthread_barrierattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_barrier_init(Get(), &attributes, 2);
    pthread_barrierattr_destroy(&attributes);
  }
  ~SharedBarrier() {
    pthread_barrier_destroy(Get());
    munmap(memory_, sizeof(pthread_barrier_t));
  }
  SharedBarrier(const SharedBarrier&) = delete;
  SharedBarrier& operator=(const SharedBarrier&) = delete;
  pthread_barrier_t* Get() const { return static_cast<pthread_barrier_t*>(memory_); }

 private:
  void* memory_;
};

class OsCreateRaceTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string path = dir.Path("image.tap");
  SharedBarrier barrier;
};

TEST_F(OsCreateRaceTest, TwoThreadsNeverWriteIntoAnUnnamedFile) {
  Tally other;
  std::thread second([&] { other = Race(path.c_str(), 2, barrier.Get()); });
  const Tally first = Race(path.c_str(), 1, barrier.Get());
  second.join();
  EXPECT_EQ(first.unnamed, 0);
  EXPECT_EQ(other.unnamed, 0);
  EXPECT_GT(first.got + other.got, 0);
}

TEST_F(OsCreateRaceTest, TwoProcessesNeverWriteIntoAnUnnamedFile) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const Tally tally = Race(path.c_str(), 2, barrier.Get());
    _exit(tally.unnamed != 0 ? 2 : tally.got == 0 ? 3 : 0);
  }
  const Tally first = Race(path.c_str(), 1, barrier.Get());
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(first.unnamed, 0);
  EXPECT_GT(first.got, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the child wrote into an unnamed file; 3: it never got the file";
}

}  // namespace
