// Whether a file of a ScratchDir exists, by name.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/scratch_dir.h"

inline bool ScratchExists(const ScratchDir& dir, const std::string& name) {
  return access(dir.Path(name).c_str(), F_OK) == 0;
}
