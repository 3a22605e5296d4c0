// A private directory for the files of one fuzzing run.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fuzz_check.h"

// Made under TMPDIR, or else in memory where there is a memory file system,
// which spares the disk the flush of every write; `name` tells whose it is.
inline std::string MakeFuzzDirectory(const char* name) {
  const char* base = std::getenv("TMPDIR");
  if (base == nullptr) base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = std::string(base) + "/" + name + ".XXXXXX";
  FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
  return pattern;
}
