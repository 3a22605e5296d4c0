// What the process writes on standard error while one lives: the plug-in's
// boxes when no host takes them.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"

class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int target = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (saved_ < 0 || target < 0 || dup2(target, STDERR_FILENO) < 0) ADD_FAILURE() << "cannot capture stderr";
    if (target >= 0) close(target);
  }
  ~StderrCapture() { Restore(); }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Ends the capture; what was written.
  std::string Take() {
    Restore();
    return FileBytes(path_);
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
  }

  ScratchDir dir_;
  std::string path_ = dir_.Path("stderr.txt");
  int saved_ = -1;
};
