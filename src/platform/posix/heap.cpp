#include <cstdlib>
#include <cstring>

#include "platform/posix/heap.h"
#include "platform/posix/test_hooks.h"

namespace {

// The C heap does not remember requested sizes, yet growth must zero exactly
// the bytes it adds, so every block carries its size in front.
struct alignas(16) BlockHeader {
  SIZE_T size;
};

int processHeap;

BlockHeader* HeaderOf(LPVOID memory) { return static_cast<BlockHeader*>(memory) - 1; }

}  // namespace

HANDLE GetProcessHeap() { return &processHeap; }

LPVOID HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
  if (platform_test::ShouldFail(platform_test::Fault::HeapAlloc)) return nullptr;
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto* header = static_cast<BlockHeader*>(
      (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, sizeof(BlockHeader) + bytes) : std::malloc(sizeof(BlockHeader) + bytes));
  if (header == nullptr) return nullptr;
  header->size = bytes;
  return header + 1;
}

LPVOID HeapReAlloc(HANDLE, DWORD flags, LPVOID memory, SIZE_T bytes) {
  if (memory == nullptr) return nullptr;
  if (platform_test::ShouldFail(platform_test::Fault::HeapReAlloc)) return nullptr;
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  const SIZE_T oldSize = HeaderOf(memory)->size;
  auto* header = static_cast<BlockHeader*>(std::realloc(HeaderOf(memory), sizeof(BlockHeader) + bytes));
  if (header == nullptr) return nullptr;
  header->size = bytes;
  if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize) {
    std::memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, bytes - oldSize);
  }
  return header + 1;
}

BOOL HeapFree(HANDLE, DWORD, LPVOID memory) {
  if (memory != nullptr) std::free(HeaderOf(memory));
  return TRUE;
}
