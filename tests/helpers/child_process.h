// Another process for the OS tests: one that holds a file open through
// os::Native for as long as a test needs, or runs one step and reports.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "os/os.h"

// The exit status of `body` run in a child process; -1 when it did not exit.
inline int RunInChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) _exit(body());
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// As RunInChild, but a child still running after `seconds` is stopped: a
// call that hangs fails its test instead of holding up the run.
inline int RunInChildWithin(unsigned seconds, const std::function<int()>& body) {
  return RunInChild([&]() -> int {
    alarm(seconds);
    return body();
  });
}

// The exit status of `body` run in a child process by a user without
// privileges: nobody (65534) when the tests run as root, whom no folder
// refuses; 100 when the change of user fails.
inline int RunUnprivileged(const std::function<int()>& body) {
  return RunInChild([&]() -> int {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) return 100;
    return body();
  });
}

// A child process that opens `path` with `access` and holds it until the
// object is destroyed.
class HoldingChild {
 public:
  HoldingChild(const std::string& path, os::Access access) {
    if (pipe(ready_) != 0 || pipe(release_) != 0) {
      ADD_FAILURE() << "pipe failed";
      return;
    }
    child_ = fork();
    if (child_ == 0) {
      os::File* file = os::Native.Open(path.c_str(), access, os::Disposition::OpenExisting, nullptr);
      char byte = file != nullptr ? 1 : 0;
      (void)!write(ready_[1], &byte, 1);
      (void)!read(release_[0], &byte, 1);
      _exit(0);
    }
    char byte = 0;
    opened_ = child_ > 0 && read(ready_[0], &byte, 1) == 1 && byte == 1;
  }
  ~HoldingChild() {
    if (child_ > 0) {
      const char byte = 0;
      (void)!write(release_[1], &byte, 1);
      waitpid(child_, nullptr, 0);
    }
    for (const int fd : {ready_[0], ready_[1], release_[0], release_[1]}) {
      if (fd >= 0) close(fd);
    }
  }
  HoldingChild(const HoldingChild&) = delete;
  HoldingChild& operator=(const HoldingChild&) = delete;

  bool Opened() const { return opened_; }

 private:
  int ready_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t child_ = -1;
  bool opened_ = false;
};
