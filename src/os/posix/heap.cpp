// The C heap. Growth zero-fills from the caller's `oldSize`, not from what
// the allocator kept, so bytes left over from a shrink never come back.
#include <cstdlib>
#include <cstring>

#include "os/posix/methods.h"

namespace os::posix {

// A block of 0 bytes is still a block, as HeapAlloc gives one.
void* Allocate(std::size_t size) { return std::calloc(1, size != 0 ? size : 1); }

// Like HeapReAlloc: there is no block to resize at null; a failure keeps the block.
void* Reallocate(void* block, std::size_t oldSize, std::size_t size) {
  if (block == nullptr) return nullptr;
  auto* grown = static_cast<unsigned char*>(std::realloc(block, size != 0 ? size : 1));
  if (grown != nullptr && size > oldSize) std::memset(grown + oldSize, 0, size - oldSize);
  return grown;
}

bool Free(void* block) {
  std::free(block);
  return true;
}

}  // namespace os::posix
