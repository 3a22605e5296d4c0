// An open file is its descriptor: os::File* holds the descriptor plus one,
// so that no file is the null pointer. Nothing is allocated for it.
#pragma once

#include <cstdint>

#include "os/os.h"

namespace os::posix {

inline File* FileOf(int fd) { return reinterpret_cast<File*>(static_cast<std::intptr_t>(fd) + 1); }

inline int DescriptorOf(File* file) { return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 1); }

}  // namespace os::posix
